#include "Internationalization/Text.h"

#include "Internationalization/Internationalization.h"

#include <utility>

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

FText FText::FormatOrdered(const FText& Pattern, const FText* Arguments, int32 ArgumentCount)
{
	const FString& Source = Pattern.ToString();
	FString Result;
	int32 Position = 0;
	while (Position < Source.Len())
	{
		// "{" digits "}" naming an argument there is; anything else is copied as it stands.
		int32 End = Position + 1;
		int32 Index = 0;
		while (Source[Position] == TEXT('{') && End < Source.Len() && Source[End] >= TEXT('0') && Source[End] <= TEXT('9') && Index <= ArgumentCount)
		{
			Index = Index * 10 + int32(Source[End++] - TEXT('0'));
		}
		if (End > Position + 1 && End < Source.Len() && Source[End] == TEXT('}') && Index < ArgumentCount)
		{
			Result += Arguments[Index].ToString();
			Position = End + 1;
			continue;
		}
		Result.AppendChar(Source[Position++]);
	}
	return FromString(std::move(Result));
}

FText FInternationalization::ForUseOnlyByLocMacroAndGraphNodeTextLiterals_CreateText(const TCHAR* InTextLiteral, const TCHAR* InNamespace, const TCHAR* InKey)
{
	return FText(std::make_shared<const FText::FTextData>(FText::FTextData{FString(InTextLiteral), FString(InNamespace), FString(InKey)}));
}
