#include "Internationalization/Text.h"

#include "Internationalization/Internationalization.h"

FText::FText()
    : Data(GetEmpty().Data)
{
}

const FText& FText::GetEmpty()
{
	static const FText Empty(std::make_shared<const FTextData>());
	return Empty;
}

FText FText::FromString(const FString& String) { return FText(std::make_shared<const FTextData>(FTextData{String, {}, {}})); }

FText FText::FromString(FString&& String) { return FText(std::make_shared<const FTextData>(FTextData{std::move(String), {}, {}})); }

const FString& FText::ToString() const { return Data->SourceString; }

FText FInternationalization::ForUseOnlyByLocMacroAndGraphNodeTextLiterals_CreateText(const TCHAR* InTextLiteral, const TCHAR* InNamespace, const TCHAR* InKey)
{
	return FText(std::make_shared<const FText::FTextData>(FText::FTextData{FString(InTextLiteral), FString(InNamespace), FString(InKey)}));
}
