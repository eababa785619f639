// The C runtime's wide-string helpers that engine code calls directly on Windows, for TCHAR text.
#pragma once

#include "CoreTypes.h"

/**
 * Reads a decimal integer the way the Windows runtime's _wtoi does: leading white space, an optional '+' or '-',
 * then digits up to the first character that is not one. A value beyond the 32-bit range saturates at
 * 2147483647 or -2147483648. No digits (an empty text, "b12", a lone sign) read as 0, and so does null.
 */
CORE_API int32 _wtoi(const TCHAR* String);
