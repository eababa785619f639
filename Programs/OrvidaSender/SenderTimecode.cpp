#include "SenderTimecode.h"

#include <charconv>
#include <cstdio>

std::optional<int64_t> FSenderTimecode::Parse(std::string_view Text, FSenderFrameRate Rate)
{
	int64_t Fields[4] = {};
	const char* Cursor = Text.data();
	const char* const End = Text.data() + Text.size();
	for (int32_t Index = 0; Index < 4; ++Index)
	{
		const char* const FieldStart = Cursor;
		const auto [FieldEnd, Error] = std::from_chars(Cursor, End, Fields[Index]);
		if (Error != std::errc() || FieldEnd - FieldStart != 2 || Fields[Index] < 0)
		{
			return std::nullopt;
		}
		Cursor = FieldEnd;
		if (Index < 3 && (Cursor == End || *Cursor++ != ':'))
		{
			return std::nullopt;
		}
	}
	const int64_t Base = Rate.TimecodeBase();
	if (Cursor != End || Fields[1] >= 60 || Fields[2] >= 60 || Fields[3] >= Base)
	{
		return std::nullopt;
	}
	return ((Fields[0] * 60 + Fields[1]) * 60 + Fields[2]) * Base + Fields[3];
}

std::string FSenderTimecode::Format(int64_t Frame, FSenderFrameRate Rate)
{
	const int64_t Base = Rate.TimecodeBase();
	const int64_t Clamped = Frame < 0 ? 0 : Frame;
	const int64_t Seconds = Clamped / Base;
	char Text[96];
	std::snprintf(Text, sizeof(Text), "%02lld:%02lld:%02lld:%02lld", (long long)(Seconds / 3600), (long long)(Seconds / 60 % 60), (long long)(Seconds % 60),
	              (long long)(Clamped % Base));
	return Text;
}
