#include "Misc/ConfigCacheIni.h"

#include "Containers/StringConv.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <unistd.h>

DEFINE_LOG_CATEGORY(LogConfig)

namespace
{
FConfigCacheIni GConfigInstance;

bool IsCommentOrBlank(const FString& Trimmed)
{
	return Trimmed.IsEmpty() || Trimmed[0] == TEXT(';') || Trimmed[0] == TEXT('#');
}

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

std::filesystem::path ToPath(const std::u16string& Filename)
{
	return std::filesystem::path(TCHAR_TO_UTF8(Filename.c_str()));
}
} // namespace

FConfigCacheIni* GConfig = &GConfigInstance;

void FConfigFile::ProcessInputFileContents(const FString& Contents)
{
	Sections.clear();
	Sections.push_back(FSection());
	bDirty = false;
	int32 Start = 0;
	while (Start <= Contents.Len())
	{
		int32 End = Start;
		while (End < Contents.Len() && Contents[End] != TEXT('\n'))
		{
			++End;
		}
		if (End == Contents.Len() && Start == End)
		{
			break;
		}
		FString Text = Contents.Mid(Start, End - Start);
		if (!Text.IsEmpty() && Text[Text.Len() - 1] == TEXT('\r'))
		{
			Text = Text.Left(Text.Len() - 1);
		}
		Start = End + 1;

		const FString Trimmed = Text.TrimStartAndEnd();
		if (Trimmed.Len() >= 2 && Trimmed[0] == TEXT('[') && Trimmed[Trimmed.Len() - 1] == TEXT(']'))
		{
			FSection Section;
			Section.Name = Trimmed.Mid(1, Trimmed.Len() - 2).TrimStartAndEnd();
			Section.HeaderText = Text;
			Sections.push_back(std::move(Section));
			continue;
		}
		FLine Line;
		Line.Text = Text;
		const int32 Equals = Trimmed.Find(TEXT("="), ESearchCase::CaseSensitive);
		if (!IsCommentOrBlank(Trimmed) && Equals > 0)
		{
			Line.Key = Trimmed.Left(Equals).TrimStartAndEnd();
			Line.Value = Unquote(Trimmed.Mid(Equals + 1).TrimStartAndEnd());
		}
		Sections.back().Lines.push_back(std::move(Line));
	}
}

FString FConfigFile::GenerateText() const
{
	FString Text;
	for (const FSection& Section : Sections)
	{
		if (!Section.HeaderText.IsEmpty())
		{
			Text += Section.HeaderText;
			Text += TEXT("\n");
		}
		for (const FLine& Line : Section.Lines)
		{
			Text += Line.Text;
			Text += TEXT("\n");
		}
	}
	return Text;
}

const FConfigFile::FSection* FConfigFile::FindSection(const FString& Section) const
{
	for (const FSection& Candidate : Sections)
	{
		if (!Candidate.HeaderText.IsEmpty() && Candidate.Name == Section)
		{
			return &Candidate;
		}
	}
	return nullptr;
}

bool FConfigFile::GetString(const FString& Section, const FString& Key, FString& Value) const
{
	// A section may appear more than once in a hand-edited file; the first key found wins, as it does in SetString.
	for (const FSection& Candidate : Sections)
	{
		if (Candidate.HeaderText.IsEmpty() || Candidate.Name != Section)
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
	const FString NewText = Key + TEXT("=") + QuoteIfNeeded(Value);
	FSection* LastMatching = nullptr;
	for (FSection& Candidate : Sections)
	{
		if (Candidate.HeaderText.IsEmpty() || Candidate.Name != Section)
		{
			continue;
		}
		LastMatching = &Candidate;
		for (FLine& Line : Candidate.Lines)
		{
			if (!Line.Key.IsEmpty() && Line.Key.Equals(Key, ESearchCase::IgnoreCase))
			{
				if (Line.Value != Value)
				{
					Line.Text = NewText;
					Line.Value = Value;
					bDirty = true;
				}
				return;
			}
		}
	}
	if (LastMatching == nullptr)
	{
		if (Sections.empty())
		{
			Sections.push_back(FSection());
		}
		// A blank line between sections, as the engine writes them.
		const FSection& Previous = Sections.back();
		if (!Previous.HeaderText.IsEmpty() || !Previous.Lines.empty())
		{
			if (Previous.Lines.empty() || !Previous.Lines.back().Text.TrimStartAndEnd().IsEmpty())
			{
				Sections.back().Lines.push_back(FLine());
			}
		}
		FSection NewSection;
		NewSection.Name = Section;
		NewSection.HeaderText = FString(TEXT("[")) + Section + TEXT("]");
		Sections.push_back(std::move(NewSection));
		LastMatching = &Sections.back();
	}
	// New keys go after the section's last key, ahead of the blank lines that separate it from the next one.
	auto InsertAt = LastMatching->Lines.end();
	while (InsertAt != LastMatching->Lines.begin() && std::prev(InsertAt)->Text.TrimStartAndEnd().IsEmpty())
	{
		--InsertAt;
	}
	FLine Line;
	Line.Text = NewText;
	Line.Key = Key;
	Line.Value = Value;
	LastMatching->Lines.insert(InsertAt, std::move(Line));
	bDirty = true;
}

bool FConfigFile::DoesSectionExist(const FString& Section) const
{
	return FindSection(Section) != nullptr;
}

void FConfigCacheIni::LoadFile(const FString& Filename)
{
	std::ifstream Stream(ToPath(Filename.GetStdString()), std::ios::binary);
	std::string Bytes;
	if (Stream)
	{
		Bytes.assign(std::istreambuf_iterator<char>(Stream), std::istreambuf_iterator<char>());
	}
	FConfigFile File;
	File.ProcessInputFileContents(FString(UTF8_TO_TCHAR(Bytes.c_str())));
	std::lock_guard<std::mutex> Guard(Lock);
	Files[Filename.GetStdString()] = std::move(File);
}

void FConfigCacheIni::UnloadFile(const FString& Filename)
{
	std::lock_guard<std::mutex> Guard(Lock);
	Files.erase(Filename.GetStdString());
}

FConfigFile& FConfigCacheIni::FindOrLoad(const FString& Filename)
{
	auto Found = Files.find(Filename.GetStdString());
	if (Found != Files.end())
	{
		return Found->second;
	}
	std::ifstream Stream(ToPath(Filename.GetStdString()), std::ios::binary);
	std::string Bytes;
	if (Stream)
	{
		Bytes.assign(std::istreambuf_iterator<char>(Stream), std::istreambuf_iterator<char>());
	}
	FConfigFile& File = Files[Filename.GetStdString()];
	File.ProcessInputFileContents(FString(UTF8_TO_TCHAR(Bytes.c_str())));
	return File;
}

bool FConfigCacheIni::GetString(const TCHAR* Section, const TCHAR* Key, FString& Value, const FString& Filename)
{
	std::lock_guard<std::mutex> Guard(Lock);
	return FindOrLoad(Filename).GetString(FString(Section), FString(Key), Value);
}

void FConfigCacheIni::SetString(const TCHAR* Section, const TCHAR* Key, const TCHAR* Value, const FString& Filename)
{
	std::lock_guard<std::mutex> Guard(Lock);
	FindOrLoad(Filename).SetString(FString(Section), FString(Key), FString(Value));
}

bool FConfigCacheIni::DoesSectionExist(const TCHAR* Section, const FString& Filename)
{
	std::lock_guard<std::mutex> Guard(Lock);
	return FindOrLoad(Filename).DoesSectionExist(FString(Section));
}

bool FConfigCacheIni::WriteFile(const std::u16string& Filename, FConfigFile& File)
{
	const std::filesystem::path Target = ToPath(Filename);
	std::error_code Error;
	if (Target.has_parent_path())
	{
		std::filesystem::create_directories(Target.parent_path(), Error);
	}
	std::filesystem::path Temporary = Target;
	Temporary += ".tmp" + std::to_string(getpid());
	bool bWritten = false;
	{
		std::ofstream Stream(Temporary, std::ios::binary | std::ios::trunc);
		const std::string Bytes = TCHAR_TO_UTF8(*File.GenerateText());
		Stream.write(Bytes.data(), std::streamsize(Bytes.size()));
		Stream.flush();
		bWritten = bool(Stream);
	}
	if (bWritten)
	{
		std::filesystem::rename(Temporary, Target, Error);
		bWritten = !Error;
	}
	if (!bWritten)
	{
		std::filesystem::remove(Temporary, Error);
		UE_LOG(LogConfig, Warning, TEXT("Could not write the configuration file %s"), Filename.c_str());
		return false;
	}
	File.ClearDirty();
	return true;
}

bool FConfigCacheIni::Flush(bool bRemoveFromCache, const FString& Filename)
{
	std::lock_guard<std::mutex> Guard(Lock);
	bool bAllWritten = true;
	for (auto It = Files.begin(); It != Files.end();)
	{
		if (!Filename.IsEmpty() && It->first != Filename.GetStdString())
		{
			++It;
			continue;
		}
		const bool bWritten = !It->second.IsDirty() || WriteFile(It->first, It->second);
		bAllWritten = bAllWritten && bWritten;
		// A file that could not be written stays cached, so its values are not lost with it.
		It = bRemoveFromCache && bWritten ? Files.erase(It) : std::next(It);
	}
	return bAllWritten;
}
