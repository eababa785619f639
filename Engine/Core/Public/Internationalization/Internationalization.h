#pragma once

#include "Internationalization/Text.h"

class CORE_API FInternationalization
{
public:
	/** Makes a localisable text from its literal, namespace and key (in that order), as the text macros do. */
	static FText ForUseOnlyByLocMacroAndGraphNodeTextLiterals_CreateText(const TCHAR* InTextLiteral, const TCHAR* InNamespace, const TCHAR* InKey);
};

#define NSLOCTEXT(InNamespace, InKey, InTextLiteral)                                                                                                           \
	FInternationalization::ForUseOnlyByLocMacroAndGraphNodeTextLiterals_CreateText(TEXT(InTextLiteral), TEXT(InNamespace), TEXT(InKey))
/** Needs LOCTEXT_NAMESPACE defined in the file that uses it. */
#define LOCTEXT(InKey, InTextLiteral) NSLOCTEXT(LOCTEXT_NAMESPACE, InKey, InTextLiteral)
#define INVTEXT(InTextLiteral) FText::AsCultureInvariant(FString(TEXT(InTextLiteral)))
