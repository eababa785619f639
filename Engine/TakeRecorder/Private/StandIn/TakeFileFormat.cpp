#include "TakeFileFormat.h"

#include "Roles/LiveLinkCameraTypes.h"
#include "Roles/LiveLinkTransformTypes.h"
#include "TakeFile.h"

#include <charconv>
#include <climits>
#include <cstdio>

namespace
{
const char* const HeaderRow = "Subject,Source,WorldTime,FrameNumber,SubFrame,RateNumerator,RateDenominator,"
                              "LocationX,LocationY,LocationZ,RotationX,RotationY,RotationZ,RotationW,ScaleX,ScaleY,ScaleZ,"
                              "FieldOfView,AspectRatio,FocalLength,Aperture,FocusDistance\n";

/** The longest ending a slate's name can get: '_' and the largest take number, '_' and the largest suffix, ".csv". */
constexpr size_t LongestNameEnding = sizeof("_2147483647") - 1 + sizeof("_9999") - 1 + sizeof(".csv") - 1;
static_assert(FTakeFile::MaxNameSuffix <= 9999, "the room left for the suffix is four digits");
/** A file name holds NAME_MAX bytes (255 on Linux); the cleaned slate is ASCII, so one byte a character. */
constexpr size_t MaxSlateNameLength = NAME_MAX - LongestNameEnding;

/** ASCII letters, digits, '-' and '_' are kept; anything else would be a path separator or worse on some system. */
std::string MakeSlateName(const FString& Slate)
{
	std::string Name;
	bool bHasLetterOrDigit = false;
	for (int32 Index = 0; Index < Slate.Len() && Name.size() < MaxSlateNameLength; ++Index)
	{
		const TCHAR Char = Slate[Index];
		const bool bLetterOrDigit = (Char >= 'A' && Char <= 'Z') || (Char >= 'a' && Char <= 'z') || (Char >= '0' && Char <= '9');
		bHasLetterOrDigit |= bLetterOrDigit;
		Name.push_back(bLetterOrDigit || Char == '-' || Char == '_' ? char(Char) : '_');
	}
	// A name of separators alone would tell nobody which take it is.
	return bHasLetterOrDigit ? Name : "Take";
}

/** The slate in UTF-8, with '\' written "\\" and CR and LF written "\r" and "\n", so that it stays on one line. */
std::string EscapeSlate(const FString& Slate)
{
	const FTCHARToUTF8 Utf8(*Slate, Slate.Len());
	std::string Escaped;
	Escaped.reserve(size_t(Utf8.Length()));
	for (const char Char : std::string(Utf8.Get(), size_t(Utf8.Length())))
	{
		switch (Char)
		{
		case '\\':
			Escaped += "\\\\";
			break;
		case '\r':
			Escaped += "\\r";
			break;
		case '\n':
			Escaped += "\\n";
			break;
		default:
			Escaped += Char;
		}
	}
	return Escaped;
}

template <typename NumberType> void AppendNumber(std::string& Row, NumberType Value)
{
	// to_chars gives the shortest text that reads back to the same value, whatever the process locale.
	char Text[32];
	const std::to_chars_result Result = std::to_chars(Text, Text + sizeof(Text), Value);
	Row.append(Text, Result.ptr);
}

void AppendField(std::string& Row, const std::string& Text)
{
	if (Text.find_first_of(",\"\r\n") == std::string::npos)
	{
		Row += Text;
		return;
	}
	Row += '"';
	for (const char Char : Text)
	{
		if (Char == '"')
		{
			Row += '"';
		}
		Row += Char;
	}
	Row += '"';
}
} // namespace

std::string FTakeFileFormat::MakeBaseName(const FString& Slate, int32 TakeNumber)
{
	char Number[16];
	std::snprintf(Number, sizeof(Number), "%03d", TakeNumber);
	return MakeSlateName(Slate) + "_" + Number;
}

std::string FTakeFileFormat::FormatHead(const FString& Slate, int32 TakeNumber)
{
	std::string Head = "# Slate: " + EscapeSlate(Slate) + ", Take: ";
	AppendNumber(Head, TakeNumber);
	return Head + "\n" + HeaderRow;
}

std::string FTakeFileFormat::FormatRow(const FLiveLinkSubjectKey& SubjectKey, const FLiveLinkFrameDataStruct& FrameData)
{
	std::string Row;
	Row.reserve(256);
	AppendField(Row, FTCHARToUTF8(*SubjectKey.SubjectName.ToString()).Get());
	// Subjects of several sources may share a name: the source's guid tells their rows apart.
	Row += ',';
	Row += FTCHARToUTF8(*SubjectKey.Source.ToString()).Get();

	const FLiveLinkBaseFrameData* Base = FrameData.GetBaseData();
	const FQualifiedFrameTime& SceneTime = Base->MetaData.SceneTime;
	Row += ',';
	AppendNumber(Row, Base->WorldTime.GetOffsettedTime());
	Row += ',';
	AppendNumber(Row, SceneTime.Time.FrameNumber.Value);
	Row += ',';
	AppendNumber(Row, SceneTime.Time.GetSubFrame());
	Row += ',';
	AppendNumber(Row, SceneTime.Rate.Numerator);
	Row += ',';
	AppendNumber(Row, SceneTime.Rate.Denominator);

	if (const FLiveLinkTransformFrameData* Transform = FrameData.Cast<FLiveLinkTransformFrameData>())
	{
		const FVector& Location = Transform->Transform.GetTranslation();
		const FQuat& Rotation = Transform->Transform.GetRotation();
		const FVector& Scale = Transform->Transform.GetScale3D();
		for (const float Value : {Location.X, Location.Y, Location.Z, Rotation.X, Rotation.Y, Rotation.Z, Rotation.W, Scale.X, Scale.Y, Scale.Z})
		{
			Row += ',';
			AppendNumber(Row, Value);
		}
	}
	else
	{
		Row += ",,,,,,,,,,";
	}

	if (const FLiveLinkCameraFrameData* Camera = FrameData.Cast<FLiveLinkCameraFrameData>())
	{
		for (const float Value : {Camera->FieldOfView, Camera->AspectRatio, Camera->FocalLength, Camera->Aperture, Camera->FocusDistance})
		{
			Row += ',';
			AppendNumber(Row, Value);
		}
	}
	else
	{
		Row += ",,,,,";
	}
	Row += '\n';
	return Row;
}
