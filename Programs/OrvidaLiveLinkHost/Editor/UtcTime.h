#pragma once

#include <string>

/** The current time in UTC, ISO 8601 to the millisecond: 2024-05-17T09:41:07.250Z. Any thread. */
std::string FormatUtcNow();
