#include "Editor/LogBuffer.h"

#include "CoreMinimal.h"
#include "Editor/UtcTime.h"
#include "Misc/OutputDeviceRedirector.h"

#include <algorithm>

FHostLogBuffer::FHostLogBuffer(std::set<std::string> InCategories, size_t InMaxLines)
    : Categories(std::move(InCategories))
    , MaxLines(std::max<size_t>(InMaxLines, 1))
{
	GLog->AddOutputDevice(this);
}

FHostLogBuffer::~FHostLogBuffer() { GLog->RemoveOutputDevice(this); }

void FHostLogBuffer::Serialize(const TCHAR* Text, ELogVerbosity::Type Verbosity, const FName& Category)
{
	std::string CategoryName = TCHAR_TO_UTF8(*Category.ToString());
	if (Categories.count(CategoryName) == 0)
	{
		return;
	}
	FHostLogLineSnapshot Line;
	Line.Time = FormatUtcNow();
	Line.Category = std::move(CategoryName);
	Line.Verbosity = TCHAR_TO_UTF8(ToString(Verbosity));
	Line.Text = TCHAR_TO_UTF8(Text);
	std::lock_guard<std::mutex> Guard(Lock);
	if (!Lines.empty())
	{
		FHostLogLineSnapshot& Last = Lines.back();
		if (Last.Text == Line.Text && Last.Category == Line.Category && Last.Verbosity == Line.Verbosity)
		{
			++Last.Count;
			Last.Time = std::move(Line.Time);
			return;
		}
	}
	Lines.push_back(std::move(Line));
	if (Lines.size() > MaxLines)
	{
		Lines.pop_front();
	}
}

std::vector<FHostLogLineSnapshot> FHostLogBuffer::Copy() const
{
	std::lock_guard<std::mutex> Guard(Lock);
	return {Lines.begin(), Lines.end()};
}
