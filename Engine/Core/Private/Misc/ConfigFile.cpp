#include "Misc/ConfigCacheIni.h"

#include "ConfigFileEncoding.h"
#include "Containers/StringConv.h"

#include <iterator>

namespace
{
bool IsCommentOrBlank(const FString& Trimmed) { return Trimmed.IsEmpty() || Trimmed[0] == TEXT(';') || Trimmed[0] == TEXT('#'); }

FString Unquote(const FString& Value)
{
	if (Value.Len() >= 2 && Value[0] == TEXT('"') && Value[Value.Len() - 1] == TEXT('"'))
	{
		return Value.Mid(1, Value.Len() - 2);
	}
	return Value;
}

/** A value that the reader would trim or unquote is written in quotes, so that it reads back as it was. */
FString QuoteIfNeeded(const FString& Value)
{
	if (Value.IsEmpty())
	{
		return Value;
	}
	const TCHAR First = Value[0];
	const TCHAR Last = Value[Value.Len() - 1];
	const bool bNeedsQuotes = First == TEXT(' ') || First == TEXT('\t') || Last == TEXT(' ') || Last == TEXT('\t') || First == TEXT('"');
	return bNeedsQuotes ? FString(TEXT("\"")) + Value + TEXT("\"") : Value;
}

std::string EncodeAscii(EConfigFileEncoding Encoding, const TCHAR* Text)
{
	std::string Bytes;
	FConfigFileEncoding::Encode(Encoding, FString(Text), Bytes);
	return Bytes;
}

const TCHAR* EncodingName(EConfigFileEncoding Encoding)
{
	switch (Encoding)
	{
	case EConfigFileEncoding::Utf16LE:
		return TEXT("UTF-16LE");
	case EConfigFileEncoding::Utf16BE:
		return TEXT("UTF-16BE");
	case EConfigFileEncoding::Utf8:
	case EConfigFileEncoding::Utf8WithByteOrderMark:
		break;
	}
	return TEXT("UTF-8");
}
} // namespace

FConfigFile::FConfigFile()
    : Encoding(EConfigFileEncoding::Utf8)
    , NewLineEnding("\n")
{
	Sections.push_back(FSection());
}

void FConfigFile::ProcessInputFileContents(const FString& Contents)
{
	const FTCHARToUTF8 Bytes(*Contents, Contents.Len());
	ProcessInputFileBytes(std::string_view(Bytes.Get(), size_t(Bytes.Length())));
}

void FConfigFile::ProcessInputFileBytes(std::string_view Bytes)
{
	*this = FConfigFile();
	Encoding = FConfigFileEncoding::Detect(Bytes);
	Bytes.remove_prefix(FConfigFileEncoding::ByteOrderMark(Encoding).size());
	const size_t Unit = FConfigFileEncoding::CodeUnitSize(Encoding);
	if (Bytes.size() % Unit != 0)
	{
		Refuse(FString::Printf(TEXT("its %s text has an odd number of bytes"), EncodingName(Encoding)));
		Bytes.remove_suffix(Bytes.size() % Unit);
	}
	const std::string LineFeed = EncodeAscii(Encoding, TEXT("\n"));
	const std::string CarriageReturn = EncodeAscii(Encoding, TEXT("\r"));
	NewLineEnding = LineFeed;
	bool bEndingSeen = false;
	size_t Start = 0;
	while (Start < Bytes.size())
	{
		size_t End = Start;
		while (End < Bytes.size() && Bytes.substr(End, Unit) != LineFeed)
		{
			End += Unit;
		}
		size_t TextEnd = End;
		FLine Line;
		if (End < Bytes.size())
		{
			if (End - Start >= Unit && Bytes.substr(End - Unit, Unit) == CarriageReturn)
			{
				TextEnd -= Unit;
			}
			Line.Ending = Bytes.substr(TextEnd, End + Unit - TextEnd);
			if (!bEndingSeen)
			{
				NewLineEnding = Line.Ending;
				bEndingSeen = true;
			}
		}
		Line.Bytes = Bytes.substr(Start, TextEnd - Start);
		bEndsWithoutNewLine = Line.Ending.empty();
		Start = End + Unit;
		AddReadLine(std::move(Line));
	}
}

void FConfigFile::AddReadLine(FLine&& Line)
{
	Line.bUndecodable = !FConfigFileEncoding::Decode(Encoding, Line.Bytes, Line.Text);
	const FString Trimmed = Line.Text.TrimStartAndEnd();
	if (Trimmed.Len() >= 2 && Trimmed[0] == TEXT('[') && Trimmed[Trimmed.Len() - 1] == TEXT(']'))
	{
		FSection Section;
		Section.Name = Trimmed.Mid(1, Trimmed.Len() - 2).TrimStartAndEnd();
		Section.bHasHeader = true;
		Section.Header = std::move(Line);
		Sections.push_back(std::move(Section));
		return;
	}
	const int32 Equals = Trimmed.Find(TEXT("="), ESearchCase::CaseSensitive);
	if (!IsCommentOrBlank(Trimmed) && Equals > 0)
	{
		Line.Key = Trimmed.Left(Equals).TrimStartAndEnd();
		Line.Value = Unquote(Trimmed.Mid(Equals + 1).TrimStartAndEnd());
	}
	Sections.back().Lines.push_back(std::move(Line));
}

void FConfigFile::MarkUnreadable(const FString& Reason)
{
	*this = FConfigFile();
	Refuse(FString::Printf(TEXT("it could not be read (%s)"), *Reason));
}

bool FConfigFile::GenerateBytes(std::string& OutBytes, FString& OutReason) const
{
	if (!SaveRefusal.IsEmpty())
	{
		OutReason = SaveRefusal;
		return false;
	}
	OutBytes = FConfigFileEncoding::ByteOrderMark(Encoding);
	// A line's ending is written once the next line is known: the last line keeps the file's lack of one.
	const FLine* Previous = nullptr;
	const auto Append = [this, &OutBytes, &Previous](const FLine& Line)
	{
		if (Previous != nullptr)
		{
			OutBytes += Previous->Ending.empty() ? NewLineEnding : Previous->Ending;
		}
		OutBytes += Line.Bytes;
		Previous = &Line;
	};
	for (const FSection& Section : Sections)
	{
		if (Section.bHasHeader)
		{
			Append(Section.Header);
		}
		for (const FLine& Line : Section.Lines)
		{
			Append(Line);
		}
	}
	if (Previous != nullptr && !bEndsWithoutNewLine)
	{
		OutBytes += Previous->Ending.empty() ? NewLineEnding : Previous->Ending;
	}
	return true;
}

bool FConfigFile::GetString(const FString& Section, const FString& Key, FString& Value) const
{
	// A section may appear more than once in a hand-edited file; the first key found wins, as it does in SetString.
	for (const FSection& Candidate : Sections)
	{
		if (!Candidate.bHasHeader || Candidate.Name != Section)
		{
			continue;
		}
		for (const FLine& Line : Candidate.Lines)
		{
			if (!Line.Key.IsEmpty() && Line.Key.Equals(Key, ESearchCase::IgnoreCase))
			{
				Value = Line.Value;
				return true;
			}
		}
	}
	return false;
}

void FConfigFile::SetString(const FString& Section, const FString& Key, const FString& Value)
{
	// A change that cannot be made leaves the file dirty, so that the save that should have written it refuses.
	FLine NewLine;
	if (!MakeLine(Key + TEXT("=") + QuoteIfNeeded(Value), NewLine))
	{
		bDirty = true;
		return;
	}
	NewLine.Key = Key;
	NewLine.Value = Value;
	FSection* LastMatching = nullptr;
	for (FSection& Candidate : Sections)
	{
		if (!Candidate.bHasHeader || Candidate.Name != Section)
		{
			continue;
		}
		LastMatching = &Candidate;
		for (FLine& Line : Candidate.Lines)
		{
			if (Line.Key.IsEmpty() || !Line.Key.Equals(Key, ESearchCase::IgnoreCase))
			{
				continue;
			}
			// FString's == ignores case, and a value that differs only in case is still a change the user asked for.
			if (!Line.Value.Equals(Value, ESearchCase::CaseSensitive))
			{
				if (Line.bUndecodable)
				{
					// Rewriting the line would lose its bytes that are not text, and nobody asked for that.
					Refuse(FString::Printf(TEXT("the line of %s in [%s] holds bytes that are not %s"), *Key, *Section, EncodingName(Encoding)));
				}
				else
				{
					NewLine.Ending = std::move(Line.Ending);
					Line = std::move(NewLine);
				}
				bDirty = true;
			}
			return;
		}
	}
	if (LastMatching == nullptr)
	{
		FSection NewSection;
		NewSection.Name = Section;
		NewSection.bHasHeader = MakeLine(FString(TEXT("[")) + Section + TEXT("]"), NewSection.Header);
		if (!NewSection.bHasHeader)
		{
			bDirty = true;
			return;
		}
		// A blank line between sections, as the engine writes them.
		const FSection& Previous = Sections.back();
		if ((Previous.bHasHeader || !Previous.Lines.empty()) && (Previous.Lines.empty() || !Previous.Lines.back().Text.TrimStartAndEnd().IsEmpty()))
		{
			FLine Blank;
			MakeLine(FString(), Blank);
			Sections.back().Lines.push_back(std::move(Blank));
		}
		Sections.push_back(std::move(NewSection));
		LastMatching = &Sections.back();
	}
	// New keys go after the section's last key, ahead of the blank lines that separate it from the next one.
	auto InsertAt = LastMatching->Lines.end();
	while (InsertAt != LastMatching->Lines.begin() && std::prev(InsertAt)->Text.TrimStartAndEnd().IsEmpty())
	{
		--InsertAt;
	}
	LastMatching->Lines.insert(InsertAt, std::move(NewLine));
	bDirty = true;
}

bool FConfigFile::DoesSectionExist(const FString& Section) const
{
	for (const FSection& Candidate : Sections)
	{
		if (Candidate.bHasHeader && Candidate.Name == Section)
		{
			return true;
		}
	}
	return false;
}

bool FConfigFile::MakeLine(const FString& Text, FLine& OutLine)
{
	if (!FConfigFileEncoding::Encode(Encoding, Text, OutLine.Bytes))
	{
		Refuse(FString::Printf(TEXT("%s cannot carry the line %s"), EncodingName(Encoding), *Text));
		return false;
	}
	OutLine.Text = Text;
	return true;
}

void FConfigFile::Refuse(const FString& Reason)
{
	// The first reason is the one worth reading.
	if (SaveRefusal.IsEmpty())
	{
		SaveRefusal = Reason;
	}
}
