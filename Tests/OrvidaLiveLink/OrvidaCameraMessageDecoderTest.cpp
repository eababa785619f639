#include "OrvidaCameraMessageDecoder.h"

#include "LogCapture.h"
#include "OrvidaCameraSamplePrinter.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

namespace
{
using namespace std::string_literals;

/** What decoding an empty camera record gives: unit scale, everything else zero or empty. */
FOrvidaCameraSample Decoded()
{
	FOrvidaCameraSample Sample;
	Sample.Scale[0] = Sample.Scale[1] = Sample.Scale[2] = 1.0f;
	return Sample;
}

FOrvidaCameraSample WithLocation(float X, float Y, float Z)
{
	FOrvidaCameraSample Sample = Decoded();
	Sample.Location[0] = X;
	Sample.Location[1] = Y;
	Sample.Location[2] = Z;
	return Sample;
}

FOrvidaCameraSample WithTimecode(int32 Frame, int32 Numerator, int32 Denominator)
{
	FOrvidaCameraSample Sample = Decoded();
	Sample.Timecode[0] = Frame;
	Sample.Timecode[1] = Numerator;
	Sample.Timecode[2] = Denominator;
	return Sample;
}

FOrvidaCameraSample WithMetadata(FString Scene, FString Slate, FString Take, int32 State = 0)
{
	FOrvidaCameraSample Sample = Decoded();
	Sample.Metadata[0] = Scene;
	Sample.Metadata[1] = Slate;
	Sample.Metadata[2] = Take;
	Sample.State = State;
	return Sample;
}

FOrvidaCameraSample WithState(int32 State)
{
	FOrvidaCameraSample Sample = Decoded();
	Sample.State = State;
	return Sample;
}

FOrvidaCameraSample Full()
{
	FOrvidaCameraSample Sample;
	const float Location[] = {100.5f, -20.25f, 150.0f};
	const float Rotation[] = {0.0f, 0.0f, 0.70710677f, 0.70710677f};
	const float Scale[] = {1.0f, 1.0f, 1.0f};
	const double Lens[] = {35.0, 250.0, 1.7777777777777777, 54.432};
	std::copy(std::begin(Location), std::end(Location), Sample.Location);
	std::copy(std::begin(Rotation), std::end(Rotation), Sample.Rotation);
	std::copy(std::begin(Scale), std::end(Scale), Sample.Scale);
	std::copy(std::begin(Lens), std::end(Lens), Sample.Lens);
	Sample.Timecode[0] = 86400;
	Sample.Timecode[1] = 25;
	Sample.Timecode[2] = 1;
	Sample.Metadata[0] = TEXT("Scene 4");
	Sample.Metadata[1] = TEXT("A004");
	Sample.Metadata[2] = TEXT("12");
	Sample.State = 2;
	return Sample;
}

const std::string FullMessage = R"({"OVDCamera":[{"Version":1,"Location":[100.5,-20.25,150],"Rotation":[0,0,0.70710677,0.70710677],)"
								R"("Scale":[1,1,1],"Lens":[35,250,1.7777777777777777,54.432],"Timecode":[86400,25,1],)"
								R"("Metadata":["Scene 4","A004","12"],"State":2}]})";

std::string Camera(const std::string& Record)
{
	return R"({"OVDCamera":[)" + Record + "]}";
}

struct FDecodeCase
{
	const char* Name;
	std::string Datagram;
	bool bAutoLens;
	bool bTakeOptions;
	/** Empty: nothing may be committed. */
	std::vector<FOrvidaCameraSample> Expected;
	int32 UnknownDataLines;

	friend void PrintTo(const FDecodeCase& Case, std::ostream* Out) { *Out << Case.Name; }
};

const FDecodeCase DecodeCases[] = {
	{"FullMessage", FullMessage, true, true, {Full()}, 0},
	{"OnlyLocation", Camera(R"({"Location":[1,2,3]})"), true, true, {WithLocation(1, 2, 3)}, 0},
	{"EmptyRecordTakesDefaults", Camera("{}"), true, true, {Decoded()}, 0},
	{"LowerCaseCameraKey", R"({"ovdcamera":[{"Location":[1,2,3]}]})", true, true, {WithLocation(1, 2, 3)}, 0},
	{"RecordKeysIgnoreCase", Camera(R"({"location":[1,2,3]})"), true, true, {WithLocation(1, 2, 3)}, 0},
	{"CameraAndOneForeignKey", R"({"Hello":1,"OVDCamera":[{"Location":[1,2,3]}]})", true, true, {WithLocation(1, 2, 3)}, 1},
	{"TwoForeignKeysNoCamera", R"({"A":1,"B":[2]})", true, true, {}, 2},
	{"ShortArrayTakesTheDefaultWhole", Camera(R"({"Location":[1,2],"Scale":[5,5]})"), true, true, {Decoded()}, 0},
	{"LongArrayUsesTheFirstElements", Camera(R"({"Location":[1,2,3,4,5]})"), true, true, {WithLocation(1, 2, 3)}, 0},
	{"NotAnArrayTakesTheDefault", Camera(R"({"Location":7,"Scale":{"X":2}})"), true, true, {Decoded()}, 0},
	{"OnlyTheFirstCameraElementCounts", Camera(R"({"Location":[1,2,3]},{"Location":[4,5,6]})"), true, true, {WithLocation(1, 2, 3)}, 0},
	{"TimecodeTruncatesTowardZero", Camera(R"({"Timecode":[10.9,-2.7,1]})"), true, true, {WithTimecode(10, -2, 1)}, 0},
	{"TimecodeOutOfRange", Camera(R"({"Timecode":[3e9,-3e9,2147483647]})"), true, true, {WithTimecode(INT_MIN, INT_MIN, INT_MAX)}, 0},
	{"ZeroBytesAreDropped", "{\"OVDCa\0mera\":[{\"Loc\0\0ation\":[1,\0002,3]}]}\0"s, true, true, {WithLocation(1, 2, 3)}, 0},
	{"Utf8ArrivesAsLatin1Characters", Camera("{\"Metadata\":[\"\",\"Caf\xC3\xA9\",\"1\"]}"), true, true, {WithMetadata(TEXT(""), TEXT("Caf\u00C3\u00A9"), TEXT("1"))}, 0},
	{"EscapesAreResolved", Camera(R"({"Metadata":["\u00e9\n","\"q\"","\ud83d\ude00"]})"), true, true, {WithMetadata(TEXT("\u00e9\n"), TEXT("\"q\""), TEXT("\U0001F600"))}, 0},
	{"TopLevelArrayIsNoMessage", "[" + FullMessage + "]", true, true, {}, 0},
	{"TrailingLineFeedIsWhitespace", Camera(R"({"Location":[1,2,3]})") + "\r\n", true, true, {WithLocation(1, 2, 3)}, 0},
	{"TwoMessagesInOneDatagram", FullMessage + FullMessage, true, true, {}, 0},
	{"LensIsReadOnlyWithAutoLens", Camera(R"({"Lens":[1,2,3,4]})"), false, true, {Decoded()}, 0},
	{"TakeFieldsAreReadOnlyWithATakeOption", Camera(R"({"Metadata":["a","b","c"],"State":2})"), true, false, {Decoded()}, 0},
	{"VersionChangesNothing", Camera(R"({"Version":"9.9-beta","Location":[1,2,3]})"), true, true, {WithLocation(1, 2, 3)}, 0},
	{"StateRoundsHalfAwayFromZero", Camera(R"({"State":2.5})"), true, true, {WithState(3)}, 0},
	{"StateOutOfRangeIsZero", Camera(R"({"State":1e10})"), true, true, {WithState(0)}, 0},
	{"StateNotANumberIsZero", Camera(R"({"State":[2]})"), true, true, {WithState(0)}, 0},
	{"ElementsOfOtherTypesGoThroughTheAccessor", Camera(R"({"Location":["1.5",true,null]})"), true, true, {WithLocation(1.5f, 1, 0)}, 0},
	{"CameraNotAnArray", R"({"OVDCamera":{"Location":[1,2,3]}})", true, true, {}, 0},
	{"CameraEmptyArray", R"({"OVDCamera":[]})", true, true, {}, 0},
	{"CameraFirstElementNotAnObject", R"({"OVDCamera":[[1,2,3],{"Location":[1,2,3]}]})", true, true, {}, 0},
	{"EmptyText", "\0\0\0"s, true, true, {}, 0},
	{"NotJson", "hello", true, true, {}, 0},
};

class OrvidaCameraMessageDecoderTable : public testing::TestWithParam<FDecodeCase>
{
};

int32 CountUnknownDataLines(const FLogCapture& Log)
{
	int32 Count = 0;
	for (const FLogCapture::FLine& Line : Log.GetLines())
	{
		Count += Line.Category == "ModuleLog" && Line.Verbosity == ELogVerbosity::Error && Line.Text == "Unknow data received";
	}
	return Count;
}

std::vector<FOrvidaCameraSample> DecodeAll(const std::string& Datagram, bool bAutoLens, bool bTakeOptions)
{
	const FOrvidaCameraMessageDecoder Decoder(bAutoLens, bTakeOptions, false);
	std::vector<FOrvidaCameraSample> Samples;
	const int32 Count = Decoder.Decode(reinterpret_cast<const uint8*>(Datagram.data()), int32(Datagram.size()), [&](FOrvidaCameraSample&& Sample) { Samples.push_back(MoveTemp(Sample)); });
	EXPECT_EQ(Count, int32(Samples.size()));
	return Samples;
}
} // namespace

TEST_P(OrvidaCameraMessageDecoderTable, CommitsWhatTheMessageSays)
{
	const FDecodeCase& Case = GetParam();
	FLogCapture Log;
	const std::vector<FOrvidaCameraSample> Samples = DecodeAll(Case.Datagram, Case.bAutoLens, Case.bTakeOptions);
	ASSERT_EQ(Samples.size(), Case.Expected.size());
	for (size_t Index = 0; Index < Samples.size(); ++Index)
	{
		EXPECT_EQ(Samples[Index], Case.Expected[Index]);
	}
	EXPECT_EQ(CountUnknownDataLines(Log), Case.UnknownDataLines);
}

INSTANTIATE_TEST_SUITE_P(Cases, OrvidaCameraMessageDecoderTable, testing::ValuesIn(DecodeCases), [](const auto& Info) { return std::string(Info.param.Name); });

TEST(OrvidaCameraMessageDecoder, HostileInputCommitsNothingAndDoesNotCrash)
{
	const std::string Deep = Camera(std::string(100000, '[') + std::string(100000, ']'));
	std::string Junk(65507, ' ');
	for (size_t Index = 0; Index < Junk.size(); ++Index)
	{
		Junk[Index] = char(33 + (Index * 7919) % 94);
	}
	const std::string Hostile[] = {
		Deep,
		R"({"OVDCamera":)" + std::string(70, '[') + std::string(70, ']') + "}",
		Junk,
		"{" + std::string(65000, ' ') + "\"a\":",
		Camera(R"({"Metadata":["\x","\u12","c"]})"),
		Camera(R"({"Metadata":["\ud800","b","c"]})"),
		Camera(R"({"Location":[1e400,0,0]})"),
		Camera(R"({"Location":[123456789012345678901234567890,0,0]})"),
		"\xEF\xBB\xBF" + FullMessage,
		std::string(1, '\xFF') + FullMessage,
	};
	for (const std::string& Datagram : Hostile)
	{
		EXPECT_TRUE(DecodeAll(Datagram, true, true).empty()) << Datagram.substr(0, 60);
	}
}

TEST(OrvidaCameraMessageDecoder, ValuesBeyondSinglePrecisionBecomeInfinity)
{
	const std::vector<FOrvidaCameraSample> Samples = DecodeAll(Camera(R"({"Location":[1e300,-1e300,1e-300]})"), true, true);
	ASSERT_EQ(Samples.size(), 1u);
	EXPECT_EQ(Samples[0].Location[0], INFINITY);
	EXPECT_EQ(Samples[0].Location[1], -INFINITY);
	EXPECT_EQ(Samples[0].Location[2], 0.0f);
}

TEST(OrvidaCameraMessageDecoder, ALargeValidMessageDecodes)
{
	// A camera record padded to the largest datagram with a foreign key still decodes, and logs that key once.
	const std::string Prefix = R"({"Padding":")";
	const std::string Datagram = Prefix + std::string(65507 - Prefix.size() - 2 - (FullMessage.size() - 1), 'p') + R"(",)" + FullMessage.substr(1);
	ASSERT_EQ(Datagram.size(), 65507u);
	FLogCapture Log;
	const std::vector<FOrvidaCameraSample> Samples = DecodeAll(Datagram, true, true);
	ASSERT_EQ(Samples.size(), 1u);
	EXPECT_EQ(Samples[0], Full());
	EXPECT_EQ(CountUnknownDataLines(Log), 1);
}
