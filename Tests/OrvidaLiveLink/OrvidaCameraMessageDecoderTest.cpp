#include "OrvidaCameraMessageDecoder.h"

#include "LogCapture.h"
#include "Math/Vector.h"
#include "OrvidaCameraSamplePrinter.h"
#include "StandIn/StandInClock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <string>
#include <type_traits>
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

FOrvidaCameraSample WithLocation(double X, double Y, double Z)
{
	FOrvidaCameraSample Sample = Decoded();
	Sample.Location[0] = X;
	Sample.Location[1] = Y;
	Sample.Location[2] = Z;
	return Sample;
}

FOrvidaCameraSample WithRotation(double X, double Y, double Z, double W)
{
	FOrvidaCameraSample Sample = Decoded();
	Sample.Rotation[0] = X;
	Sample.Rotation[1] = Y;
	Sample.Rotation[2] = Z;
	Sample.Rotation[3] = W;
	return Sample;
}

FOrvidaCameraSample WithScale(double X, double Y, double Z)
{
	FOrvidaCameraSample Sample = Decoded();
	Sample.Scale[0] = X;
	Sample.Scale[1] = Y;
	Sample.Scale[2] = Z;
	return Sample;
}

/**
 * A transform value beyond the single range is infinite in 4.27's single-precision transform, and poisons what
 * the engine computes from it, so only an engine with a double transform (5.x) may get the sample.
 */
std::vector<FOrvidaCameraSample> OnlyInADoubleEngine(const FOrvidaCameraSample& Sample)
{
	if constexpr (std::is_same_v<decltype(FVector::X), float>)
	{
		return {};
	}
	return {Sample};
}

FOrvidaCameraSample WithLens(double Carried, double FocusDistance, double AspectRatio, double FieldOfView)
{
	FOrvidaCameraSample Sample = Decoded();
	Sample.Lens[0] = Carried;
	Sample.Lens[1] = FocusDistance;
	Sample.Lens[2] = AspectRatio;
	Sample.Lens[3] = FieldOfView;
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
	const double Location[] = {100.5, -20.25, 150.0};
	const double Rotation[] = {0.0, 0.0, 0.70710677, 0.70710677};
	const double Scale[] = {1.0, 1.0, 1.0};
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

std::string Camera(const std::string& Record) { return R"({"OVDCamera":[)" + Record + "]}"; }

struct FDecodeCase
{
	const char* Name;
	std::string Datagram;
	bool bAutoLens;
	/** Empty: nothing may be committed. */
	std::vector<FOrvidaCameraSample> Expected;
	int32 UnknownDataLines;

	friend void PrintTo(const FDecodeCase& Case, std::ostream* Out) { *Out << Case.Name; }
};

const FDecodeCase DecodeCases[] = {
    {"FullMessage", FullMessage, true, {Full()}, 0},
    {"OnlyLocation", Camera(R"({"Location":[1,2,3]})"), true, {WithLocation(1, 2, 3)}, 0},
    {"EmptyRecordTakesDefaults", Camera("{}"), true, {Decoded()}, 0},
    {"LowerCaseCameraKey", R"({"ovdcamera":[{"Location":[1,2,3]}]})", true, {WithLocation(1, 2, 3)}, 0},
    {"RecordKeysIgnoreCase", Camera(R"({"location":[1,2,3]})"), true, {WithLocation(1, 2, 3)}, 0},
    {"CameraAndOneForeignKey", R"({"Hello":1,"OVDCamera":[{"Location":[1,2,3]}]})", true, {WithLocation(1, 2, 3)}, 1},
    {"TwoForeignKeysNoCamera", R"({"A":1,"B":[2]})", true, {}, 2},
    {"ShortArrayTakesTheDefaultWhole", Camera(R"({"Location":[1,2],"Scale":[5,5]})"), true, {Decoded()}, 0},
    {"LongArrayUsesTheFirstElements", Camera(R"({"Location":[1,2,3,4,5]})"), true, {WithLocation(1, 2, 3)}, 0},
    {"NotAnArrayTakesTheDefault", Camera(R"({"Location":7,"Scale":{"X":2}})"), true, {Decoded()}, 0},
    {"OnlyTheFirstCameraElementCounts", Camera(R"({"Location":[1,2,3]},{"Location":[4,5,6]})"), true, {WithLocation(1, 2, 3)}, 0},
    {"TimecodeTruncatesTowardZero", Camera(R"({"Timecode":[10.9,-2.7,1]})"), true, {WithTimecode(10, -2, 1)}, 0},
    {"TimecodeOutOfRange", Camera(R"({"Timecode":[3e9,-3e9,2147483647]})"), true, {WithTimecode(INT_MIN, INT_MIN, INT_MAX)}, 0},
    {"ZeroBytesAreDropped", "{\"OVDCa\0mera\":[{\"Loc\0\0ation\":[1,\0002,3]}]}\0"s, true, {WithLocation(1, 2, 3)}, 0},
    {"Utf8ArrivesAsSent",
     Camera("{\"Metadata\":[\"\xF0\x9F\x98\x80\",\"Sc\xC3\xA8ne 4\",\"\xE2\x82\xAC"
            "1\"]}"),
     true,
     {WithMetadata(TEXT("\U0001F600"), TEXT("Sc\u00E8ne 4"), TEXT("\u20AC1"))},
     0},
    {"ZeroBytesInsideAUtf8CharacterAreDropped",
     Camera("{\"Metadata\":[\"\",\"Sc\xC3\0\xA8ne\",\"\"]}"s),
     true,
     {WithMetadata(TEXT(""), TEXT("Sc\u00E8ne"), TEXT(""))},
     0},
    // One U+FFFD per maximal ill-formed part, and the byte that breaks a sequence starts the next character.
    {"TruncatedAndStrayUtf8",
     Camera("{\"Metadata\":[\"\xC3\",\"a\xE2\x82z\",\"\x80\xFF\"]}"),
     true,
     {WithMetadata(TEXT("\uFFFD"), TEXT("a\uFFFDz"), TEXT("\uFFFD\uFFFD"))},
     0},
    {"OverlongSurrogateAndTooLargeUtf8",
     Camera("{\"Metadata\":[\"\xC0\xAF\",\"\xED\xA0\x80\",\"\xF4\x90\x80\x80\"]}"),
     true,
     {WithMetadata(TEXT("\uFFFD\uFFFD"), TEXT("\uFFFD\uFFFD\uFFFD"), TEXT("\uFFFD\uFFFD\uFFFD\uFFFD"))},
     0},
    {"NestedToTheLimitDecodes",
     R"({"Deep":)" + std::string(63, '[') + std::string(63, ']') + R"(,"OVDCamera":[{"Location":[1,2,3]}]})",
     true,
     {WithLocation(1, 2, 3)},
     1},
    {"NestedPastTheLimitIsDropped", R"({"Deep":)" + std::string(64, '[') + std::string(64, ']') + R"(,"OVDCamera":[{"Location":[1,2,3]}]})", true, {}, 0},
    {"BracketsInStringsDoNotNest",
     Camera(R"({"Metadata":["\")" + std::string(100, '[') + R"(","{{{{","x"]})"),
     true,
     {WithMetadata(FString(TEXT("\"")) + FString(std::string(100, '[').c_str()), TEXT("{{{{"), TEXT("x"))},
     0},
    {"EscapesAreResolved",
     Camera(R"({"Metadata":["\u00e9\n","\"q\"","\ud83d\ude00"]})"),
     true,
     {WithMetadata(TEXT("\u00e9\n"), TEXT("\"q\""), TEXT("\U0001F600"))},
     0},
    {"TopLevelArrayIsNoMessage", "[" + FullMessage + "]", true, {}, 0},
    {"TrailingLineFeedIsWhitespace", Camera(R"({"Location":[1,2,3]})") + "\r\n", true, {WithLocation(1, 2, 3)}, 0},
    {"TwoMessagesInOneDatagram", FullMessage + FullMessage, true, {}, 0},
    // Read whatever the options, which may change while the ring holds the sample: they decide what is published.
    {"LensIsReadWithoutAutoLens", Camera(R"({"Lens":[1,2,3,4]})"), false, {WithLens(1, 2, 3, 4)}, 0},
    {"TakeFieldsAreRead", Camera(R"({"Metadata":["a","b","c"],"State":2})"), true, {WithMetadata(TEXT("a"), TEXT("b"), TEXT("c"), 2)}, 0},
    {"VersionChangesNothing", Camera(R"({"Version":"9.9-beta","Location":[1,2,3]})"), true, {WithLocation(1, 2, 3)}, 0},
    {"StateRoundsHalfAwayFromZero", Camera(R"({"State":2.5})"), true, {WithState(3)}, 0},
    {"StateOutOfRangeIsZero", Camera(R"({"State":1e10})"), true, {WithState(0)}, 0},
    {"StateNotANumberIsZero", Camera(R"({"State":[2]})"), true, {WithState(0)}, 0},
    {"ElementsOfOtherTypesGoThroughTheAccessor", Camera(R"({"Location":["1.5",true,null]})"), true, {WithLocation(1.5f, 1, 0)}, 0},
    {"LocationBeyondSingleNeedsADoubleEngine", Camera(R"({"Location":[1e300,-1e39,3]})"), true, OnlyInADoubleEngine(WithLocation(1e300, -1e39, 3)), 0},
    {"RotationBeyondSingleNeedsADoubleEngine", Camera(R"({"Rotation":[0,-1e300,0,1]})"), true, OnlyInADoubleEngine(WithRotation(0, -1e300, 0, 1)), 0},
    {"ScaleBeyondSingleNeedsADoubleEngine", Camera(R"({"Scale":[1,1,1e39]})"), true, OnlyInADoubleEngine(WithScale(1, 1, 1e39)), 0},
    {"LocationKeepsWhatASingleCannotHold", Camera(R"({"Location":[123456.789,16777217,0.1]})"), true, {WithLocation(123456.789, 16777217.0, 0.1)}, 0},
    {"InfiniteTextInScaleIsNoSample", Camera(R"({"Scale":[1,")" + std::string(400, '9') + R"(",1]})"), true, {}, 0},
    {"LargestSinglesStillFit", Camera(R"({"Location":[3.4e38,-3.4e38,1e-300]})"), true, {WithLocation(3.4e38, -3.4e38, 1e-300)}, 0},
    {"PublishedLensBeyondSingleIsNoSample", Camera(R"({"Lens":[0,0,0,1e300]})"), true, {}, 0},
    {"LensBeyondSingleIsClearedWithoutAutoLens", Camera(R"({"Lens":[0,0,0,1e300]})"), false, {Decoded()}, 0},
    {"CarriedLensValueNeedsOnlyADouble", Camera(R"({"Lens":[1e300,1,2,3]})"), true, {WithLens(1e300, 1, 2, 3)}, 0},
    {"InfiniteTextInCarriedLensIsNoSample", Camera(R"({"Lens":[")" + std::string(400, '9') + R"(",1,2,3]})"), true, {}, 0},
    {"CameraNotAnArray", R"({"OVDCamera":{"Location":[1,2,3]}})", true, {}, 0},
    {"CameraEmptyArray", R"({"OVDCamera":[]})", true, {}, 0},
    {"CameraFirstElementNotAnObject", R"({"OVDCamera":[[1,2,3],{"Location":[1,2,3]}]})", true, {}, 0},
    {"EmptyText", "\0\0\0"s, true, {}, 0},
    {"NotJson", "hello", true, {}, 0},
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

std::vector<FOrvidaCameraSample> DecodeAll(const std::string& Datagram, bool bAutoLens)
{
	FOrvidaCameraMessageDecoder Decoder(bAutoLens);
	std::vector<FOrvidaCameraSample> Samples;
	const int32 Count = Decoder
	                        .Decode(reinterpret_cast<const uint8*>(Datagram.data()), int32(Datagram.size()),
	                                [&](FOrvidaCameraSample&& Sample) { Samples.push_back(MoveTemp(Sample)); })
	                        .Samples;
	EXPECT_EQ(Count, int32(Samples.size()));
	return Samples;
}
} // namespace

TEST_P(OrvidaCameraMessageDecoderTable, CommitsWhatTheMessageSays)
{
	const FDecodeCase& Case = GetParam();
	FLogCapture Log;
	const std::vector<FOrvidaCameraSample> Samples = DecodeAll(Case.Datagram, Case.bAutoLens);
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
		EXPECT_TRUE(DecodeAll(Datagram, true).empty()) << Datagram.substr(0, 60);
	}
}

TEST(OrvidaCameraMessageDecoder, ALargeValidMessageDecodes)
{
	// A camera record padded to the largest datagram with a foreign key still decodes, and logs that key once.
	const std::string Prefix = R"({"Padding":")";
	const std::string Datagram = Prefix + std::string(65507 - Prefix.size() - 2 - (FullMessage.size() - 1), 'p') + R"(",)" + FullMessage.substr(1);
	ASSERT_EQ(Datagram.size(), 65507u);
	FLogCapture Log;
	const std::vector<FOrvidaCameraSample> Samples = DecodeAll(Datagram, true);
	ASSERT_EQ(Samples.size(), 1u);
	EXPECT_EQ(Samples[0], Full());
	EXPECT_EQ(CountUnknownDataLines(Log), 1);
}

TEST(OrvidaCameraMessageDecoder, UnknownDataLinesAreLimitedPerSecondAndTheRestCounted)
{
	int64 NowMs = 5000;
	FStandInClock::SetCycleSource([&NowMs] { return uint64(NowMs) * 1000000u; });
	FOrvidaCameraMessageDecoder Decoder(true);
	const auto Foreign = [](int32 Keys)
	{
		std::string Message = "{";
		for (int32 Key = 0; Key < Keys; ++Key)
		{
			Message += "\"k" + std::to_string(Key) + "\":0,";
		}
		return Message + R"("OVDCamera":[{}]})";
	};
	struct FStep
	{
		int64 AtMs;
		std::string Datagram;
		int32 UnknownDataLines;
		/** The summary expected before them, or empty. */
		std::string Summary;
	};
	const FStep Steps[] = {
	    {5000, Foreign(6000), 10, ""},
	    {5999, Camera("{}"), 0, ""},
	    {6000, Camera("{}"), 0, "Unknow data received: 5990 more lines held back, from 1 datagrams"},
	    {6000, Camera("{}"), 0, ""},
	    {7500, Foreign(6000), 10, ""},
	    {7900, Foreign(3), 0, ""},
	    {7900, "not json", 0, ""},
	    {8500, Foreign(2), 2, "Unknow data received: 5993 more lines held back, from 2 datagrams"},
	    {8600, Foreign(9), 8, ""},
	};
	for (const FStep& Step : Steps)
	{
		NowMs = Step.AtMs;
		FLogCapture Log;
		Decoder.Decode(reinterpret_cast<const uint8*>(Step.Datagram.data()), int32(Step.Datagram.size()), [](FOrvidaCameraSample&&) {});
		std::vector<std::string> Summaries;
		for (const FLogCapture::FLine& Line : Log.GetLines())
		{
			if (Line.Category == "ModuleLog" && Line.Verbosity == ELogVerbosity::Warning)
			{
				Summaries.push_back(Line.Text);
			}
		}
		EXPECT_EQ(CountUnknownDataLines(Log), Step.UnknownDataLines) << "at " << Step.AtMs << " ms";
		EXPECT_EQ(Summaries, Step.Summary.empty() ? std::vector<std::string>() : std::vector<std::string>{Step.Summary}) << "at " << Step.AtMs << " ms";
		EXPECT_EQ(Log.GetLines().size(), size_t(Step.UnknownDataLines) + Summaries.size()) << "at " << Step.AtMs << " ms";
	}
	FStandInClock::SetCycleSource(nullptr);
}

TEST(OrvidaCameraMessageDecoder, DeepTextIsUnparsedWithAWarningLimitedApartFromForeignKeys)
{
	int64 NowMs = 5000;
	FStandInClock::SetCycleSource([&NowMs] { return uint64(NowMs) * 1000000u; });
	FOrvidaCameraMessageDecoder Decoder(true);
	const std::string Deep = R"({"OVDCamera":[{"Location":)" + std::string(65, '[') + std::string(65, ']') + "}]}";
	const auto Decode = [&Decoder](const std::string& Datagram)
	{ return Decoder.Decode(reinterpret_cast<const uint8*>(Datagram.data()), int32(Datagram.size()), [](FOrvidaCameraSample&&) {}); };
	const auto CountWarnings = [](const FLogCapture& Log, const std::string& Text)
	{
		const auto Lines = Log.GetLines();
		return std::count_if(Lines.begin(), Lines.end(),
		                     [&Text](const FLogCapture::FLine& Line) { return Line.Verbosity == ELogVerbosity::Warning && Line.Text == Text; });
	};
	{
		FLogCapture Log;
		for (int32 Round = 0; Round < 12; ++Round)
		{
			const FOrvidaCameraMessageDecoder::FOutcome Outcome = Decode(Deep);
			EXPECT_FALSE(Outcome.bParsed);
			EXPECT_EQ(Outcome.Samples, 0);
		}
		EXPECT_EQ(CountWarnings(Log, "A datagram nested deeper than 64 levels was dropped"), 10);
		// The deep text's window does not hold back the foreign keys' lines.
		Decode(R"({"a":1,"b":2,"OVDCamera":[{}]})");
		EXPECT_EQ(CountUnknownDataLines(Log), 2);
	}
	NowMs = 6000;
	FLogCapture Log;
	EXPECT_EQ(Decode(Camera("{}")).Samples, 1);
	EXPECT_EQ(CountWarnings(Log, "2 more datagrams nested too deeply were dropped"), 1);
	FStandInClock::SetCycleSource(nullptr);
}

TEST(OrvidaCameraSample, EqualityLooksAtEveryField)
{
	// Each decoder case compares with ==, so a field it skips goes unchecked there. The last element of each array
	// changes, so that comparing only a prefix fails too.
	const std::function<void(FOrvidaCameraSample&)> Changes[] = {
	    [](FOrvidaCameraSample& Sample) { Sample.Location[2] = 151.0f; },
	    [](FOrvidaCameraSample& Sample) { Sample.Rotation[3] = 0.5f; },
	    [](FOrvidaCameraSample& Sample) { Sample.Scale[2] = 2.0f; },
	    [](FOrvidaCameraSample& Sample) { Sample.Lens[3] = 54.433; },
	    [](FOrvidaCameraSample& Sample) { Sample.Timecode[2] = 2; },
	    [](FOrvidaCameraSample& Sample) { Sample.Metadata[2] = TEXT("13"); },
	    [](FOrvidaCameraSample& Sample) { Sample.Metadata[1] = TEXT("a004"); },
	    [](FOrvidaCameraSample& Sample) { Sample.State = 0; },
	};
	EXPECT_EQ(Full(), Full());
	for (size_t Index = 0; Index < std::size(Changes); ++Index)
	{
		FOrvidaCameraSample Changed = Full();
		Changes[Index](Changed);
		EXPECT_NE(Full(), Changed) << "change " << Index;
		EXPECT_NE(Changed, Full()) << "change " << Index;
	}
}
