#include "StandIn/TakeRecorder.h"
#include "Containers/StringConv.h"
#include "LogCapture.h"
#include "Recorder/TakeRecorder.h"
#include "Recorder/TakeRecorderBlueprintLibrary.h"
#include "Recorder/TakeRecorderPanel.h"
#include "Roles/LiveLinkCameraRole.h"
#include "Roles/LiveLinkCameraTypes.h"
#include "Roles/LiveLinkTransformRole.h"
#include "Roles/LiveLinkTransformTypes.h"
#include "SmallTmpfs.h"
#include "StandIn/LiveLinkClient.h"
#include "TakeMetaData.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <ctime>
#include <regex>
#include <sys/mount.h>
#include <sys/resource.h>

namespace
{
namespace fs = std::filesystem;

const char* const ExpectedHeader = "Subject,Source,WorldTime,FrameNumber,SubFrame,RateNumerator,RateDenominator,LocationX,LocationY,LocationZ,"
                                   "RotationX,RotationY,RotationZ,RotationW,ScaleX,ScaleY,ScaleZ,FieldOfView,AspectRatio,FocalLength,Aperture,FocusDistance";

/** Path under Directory as the engine's text. */
FString InDirectory(const FTemporaryDirectory& Directory, const std::string& Below = std::string())
{
	return FString(UTF8_TO_TCHAR((Below.empty() ? Directory.Path : Directory.Path + "/" + Below).c_str()));
}

std::string ReadFile(const FString& Path)
{
	std::ifstream Stream(TCHAR_TO_UTF8(*Path), std::ios::binary);
	std::ostringstream Text;
	Text << Stream.rdbuf();
	return Text.str();
}

std::string ReadSlateLine(const FString& Path)
{
	const std::string Text = ReadFile(Path);
	return Text.substr(0, Text.find('\n'));
}

/** Splits CSV text into rows of fields, honouring quoted fields with doubled quotes; false on a malformed file. */
bool ParseCsv(const std::string& Text, std::vector<std::vector<std::string>>& OutRows)
{
	OutRows.clear();
	std::vector<std::string> Row;
	std::string Field;
	bool bQuoted = false;
	for (size_t Index = 0; Index < Text.size(); ++Index)
	{
		const char Char = Text[Index];
		if (bQuoted)
		{
			if (Char == '"' && Index + 1 < Text.size() && Text[Index + 1] == '"')
			{
				Field += '"';
				++Index;
			}
			else if (Char == '"')
			{
				bQuoted = false;
			}
			else
			{
				Field += Char;
			}
		}
		else if (Char == '"')
		{
			bQuoted = true;
		}
		else if (Char == ',')
		{
			Row.push_back(Field);
			Field.clear();
		}
		else if (Char == '\n')
		{
			Row.push_back(Field);
			Field.clear();
			OutRows.push_back(Row);
			Row.clear();
		}
		else
		{
			Field += Char;
		}
	}
	// Every row ends with its line break: anything left over is a cut row.
	return !bQuoted && Row.empty() && Field.empty();
}

/** Rows after the header, checking the slate line and the header, and that every row has every column. */
std::vector<std::vector<std::string>> ReadTake(const FString& Path)
{
	std::vector<std::vector<std::string>> Rows;
	const std::string Text = ReadFile(Path);
	const size_t SlateLineEnd = Text.find('\n');
	EXPECT_EQ(Text.rfind("# Slate: ", 0), 0u) << TCHAR_TO_UTF8(*Path);
	EXPECT_TRUE(SlateLineEnd != std::string::npos && ParseCsv(Text.substr(SlateLineEnd + 1), Rows)) << TCHAR_TO_UTF8(*Path);
	if (Rows.empty())
	{
		ADD_FAILURE() << "no header in " << TCHAR_TO_UTF8(*Path);
		return Rows;
	}
	std::string Header;
	for (size_t Index = 0; Index < Rows[0].size(); ++Index)
	{
		Header += (Index ? "," : "") + Rows[0][Index];
	}
	EXPECT_EQ(Header, ExpectedHeader);
	for (const std::vector<std::string>& Row : Rows)
	{
		EXPECT_EQ(Row.size(), 22u);
	}
	Rows.erase(Rows.begin());
	return Rows;
}

FLiveLinkFrameDataStruct MakeCameraFrame(int32 Index)
{
	FLiveLinkFrameDataStruct Frame(FLiveLinkCameraFrameData::StaticStruct());
	FLiveLinkCameraFrameData* Camera = Frame.Cast<FLiveLinkCameraFrameData>();
	Camera->WorldTime = FLiveLinkWorldTime(16777216.0 + Index / 3.0, 0.125);
	Camera->MetaData.SceneTime = FQualifiedFrameTime(FFrameTime(FFrameNumber(1000 + Index), 0.25f), FFrameRate(30000, 1001));
	Camera->Transform = FTransform(FQuat(0.1f * Index, -0.2f, 0.3f, 0.9f), FVector(1.5f * Index, -2.0f, 1e-7f), FVector(1.0f, 2.0f, 0.333f));
	Camera->FieldOfView = 60.0f + Index;
	Camera->AspectRatio = 1.5f;
	Camera->FocalLength = 35.0f / 3.0f;
	Camera->Aperture = 4.0f;
	Camera->FocusDistance = 250.0f + Index;
	return Frame;
}

/** Checks a row against the camera frame MakeCameraFrame(Index) of the subject Key, reading every number back exactly. */
void ExpectCameraRow(const std::vector<std::string>& Row, const FLiveLinkSubjectKey& Key, int32 Index)
{
	ASSERT_EQ(Row.size(), 22u);
	FLiveLinkFrameDataStruct Expected = MakeCameraFrame(Index);
	const FLiveLinkCameraFrameData* Camera = Expected.Cast<FLiveLinkCameraFrameData>();
	EXPECT_EQ(Row[0], TCHAR_TO_UTF8(*Key.SubjectName.ToString()));
	EXPECT_EQ(Row[1], TCHAR_TO_UTF8(*Key.Source.ToString()));
	EXPECT_EQ(std::strtod(Row[2].c_str(), nullptr), Camera->WorldTime.GetOffsettedTime()) << Row[2];
	EXPECT_EQ(Row[3], std::to_string(1000 + Index));
	EXPECT_EQ(std::strtof(Row[4].c_str(), nullptr), 0.25f);
	EXPECT_EQ(Row[5], "30000");
	EXPECT_EQ(Row[6], "1001");
	const FVector& Location = Camera->Transform.GetTranslation();
	const FQuat& Rotation = Camera->Transform.GetRotation();
	const FVector& Scale = Camera->Transform.GetScale3D();
	const float Values[] = {
	    Location.X, Location.Y, Location.Z,          Rotation.X,          Rotation.Y,          Rotation.Z,       Rotation.W,           Scale.X,
	    Scale.Y,    Scale.Z,    Camera->FieldOfView, Camera->AspectRatio, Camera->FocalLength, Camera->Aperture, Camera->FocusDistance};
	for (size_t Column = 0; Column < UE_ARRAY_COUNT(Values); ++Column)
	{
		EXPECT_EQ(std::strtof(Row[7 + Column].c_str(), nullptr), Values[Column]) << "column " << 7 + Column << ": " << Row[7 + Column];
	}
}

int32 CountErrorLines(const FLogCapture& Log)
{
	int32 Count = 0;
	for (const FLogCapture::FLine& Line : Log.GetLines())
	{
		Count += Line.Category == "LogTakeRecorder" && Line.Verbosity == ELogVerbosity::Error;
	}
	return Count;
}

/**
 * UTC time in ISO 8601 to the second, which sorts as text against the recorder's times. Read from the clock the
 * recorder reads: std::time may lag it by a tick and still show the second before.
 */
std::string UtcSecondsNow(std::time_t Offset = 0)
{
	const std::time_t Now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now()) + Offset;
	std::tm Utc{};
	::gmtime_r(&Now, &Utc);
	char Text[32];
	std::strftime(Text, sizeof(Text), "%Y-%m-%dT%H:%M:%S", &Utc);
	return Text;
}

/** Checks the last error against what failed, the path it should name and the system's text it should end with. */
void ExpectLastError(const FTakeRecorder& Recorder, FTakeRecorder::ETakeOperation Operation, const std::string& Path, int SystemError,
                     const std::string& NotBefore)
{
	const FTakeRecorder::FTakeError Error = Recorder.GetLastTakeError();
	const std::string Time = TCHAR_TO_UTF8(*Error.Time);
	EXPECT_EQ(Error.Operation, Operation);
	EXPECT_EQ(fs::path(TCHAR_TO_UTF8(*Error.Path)), fs::path(Path));
	EXPECT_NE(std::string(TCHAR_TO_UTF8(*Error.Message)).find(std::strerror(SystemError)), std::string::npos) << TCHAR_TO_UTF8(*Error.Message);
	EXPECT_TRUE(std::regex_match(Time, std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z)"))) << Time;
	EXPECT_TRUE(NotBefore <= Time && Time <= UtcSecondsNow(1)) << NotBefore << " <= " << Time;
}

/** A source that only gives the subjects their guid: the client takes pushes only for the sources it holds. */
class FHeldSource final : public ILiveLinkSource
{
public:
	void ReceiveClient(ILiveLinkClient*, FGuid) override {}
	bool IsSourceStillValid() const override { return true; }
	bool RequestSourceShutdown() override { return true; }
	FText GetSourceType() const override { return FText(); }
	FText GetSourceMachineName() const override { return FText(); }
	FText GetSourceStatus() const override { return FText(); }
};

/** A client with a camera subject and a transform subject, and a recorder attached to it writing under a temporary directory. */
class TakeRecorderTest : public ::testing::Test
{
protected:
	TakeRecorderTest()
	{
		const FGuid Source = Client.AddSource(MakeShared<FHeldSource>());
		CameraKey = FLiveLinkSubjectKey(Source, FName("Camera, \"A\""));
		TransformKey = FLiveLinkSubjectKey(Source, FName("Prop"));
		Client.PushSubjectStaticData_AnyThread(CameraKey, ULiveLinkCameraRole::StaticClass(),
		                                       FLiveLinkStaticDataStruct(FLiveLinkCameraStaticData::StaticStruct()));
		Client.PushSubjectStaticData_AnyThread(TransformKey, ULiveLinkTransformRole::StaticClass(),
		                                       FLiveLinkStaticDataStruct(FLiveLinkTransformStaticData::StaticStruct()));
		Client.Tick();
		Recorder.SetTakesDirectory(InDirectory(Directory, "Saved/Takes"));
		Recorder.AttachToClient(Client);
		Recorder.SetCountdownSeconds(0.0f);
		MetaData = Recorder.GetTakeMetaData();
		MetaData->SetSlate(FString(TEXT("A001")));
	}

	/** Pushes the frame and ticks, so that the client takes it in (and the recorder hears it) at once. */
	void PushCamera(int32 Index)
	{
		Client.PushSubjectFrameData_AnyThread(CameraKey, MakeCameraFrame(Index));
		Client.Tick();
	}

	/** Asks for a take and ticks once, which starts it without a countdown; whether it records. */
	bool Record()
	{
		const bool bAccepted = Recorder.StartRecording();
		Recorder.Tick(0.0f);
		return bAccepted && Recorder.IsRecording();
	}

	int32 CountTakeFiles() const
	{
		std::error_code Error;
		const fs::path Takes = fs::path(Directory.Path) / "Saved/Takes";
		return fs::exists(Takes, Error) ? int32(std::distance(fs::directory_iterator(Takes), fs::directory_iterator())) : 0;
	}

	FTemporaryDirectory Directory;
	FLiveLinkClient Client;
	FTakeRecorder Recorder;
	UTakeMetaData* MetaData = nullptr;
	FLiveLinkSubjectKey CameraKey;
	FLiveLinkSubjectKey TransformKey;
};
} // namespace

TEST_F(TakeRecorderTest, TakeHoldsExactlyTheFramesPushedWhileRecordingInOrder)
{
	MetaData->SetSlate(FString(TEXT("A004")));
	MetaData->SetTakeNumber(12);
	PushCamera(0);
	UTakeRecorderPanel* Panel = Recorder.OpenPanel();

	Panel->StartRecording();
	Recorder.Tick(0.0f);
	EXPECT_TRUE(UTakeRecorderBlueprintLibrary::IsRecording());
	PushCamera(1);
	FLiveLinkFrameDataStruct Prop(FLiveLinkTransformFrameData::StaticStruct());
	Prop.GetBaseData()->WorldTime = FLiveLinkWorldTime(5.0, 0.0);
	Client.PushSubjectFrameData_AnyThread(TransformKey, MoveTemp(Prop));
	PushCamera(2);
	// Ignored by the client, so never heard.
	Client.PushSubjectFrameData_AnyThread(FLiveLinkSubjectKey(FGuid(), FName("Unknown")), MakeCameraFrame(9));
	Client.Tick();
	Panel->StopRecording();
	EXPECT_FALSE(UTakeRecorderBlueprintLibrary::IsRecording());
	PushCamera(3);

	EXPECT_EQ(fs::path(TCHAR_TO_UTF8(*Recorder.GetTakeFilePath())), fs::path(Directory.Path) / "Saved/Takes/A004_012.csv");
	EXPECT_EQ(ReadSlateLine(Recorder.GetTakeFilePath()), "# Slate: A004, Take: 12");
	EXPECT_EQ(Recorder.GetTakeFrameCount(), 3);
	const std::vector<std::vector<std::string>> Rows = ReadTake(Recorder.GetTakeFilePath());
	ASSERT_EQ(Rows.size(), 3u);
	ExpectCameraRow(Rows[0], CameraKey, 1);
	EXPECT_EQ(
	    Rows[1],
	    (std::vector<std::string>{
	        "Prop", TCHAR_TO_UTF8(*TransformKey.Source.ToString()), "5", "0", "0", "24", "1", "0", "0", "0", "0", "0", "0", "1", "1", "1", "1", "", "", "", "",
	        ""}));
	ExpectCameraRow(Rows[2], CameraKey, 2);
}

// Faults caught: a take that records at once, or that IsRecording reports while it counts down; no active
// recorder while counting down; the countdown not run from the ticks' time; a stop during the countdown that
// records a file or moves the take number on; the take number not moved on after a take that recorded.
TEST_F(TakeRecorderTest, ATakeCountsDownBeforeItRecordsAndAStopMeanwhileCancelsIt)
{
	Recorder.SetCountdownSeconds(3.0f);
	MetaData->SetTakeNumber(12);
	UTakeRecorderPanel* Panel = Recorder.OpenPanel();

	Panel->StartRecording();
	UTakeRecorder* Take = UTakeRecorderBlueprintLibrary::GetActiveRecorder();
	ASSERT_NE(Take, nullptr);
	Recorder.Tick(1.0f);
	PushCamera(1);
	EXPECT_EQ(Take->GetState(), ETakeRecorderState::CountingDown);
	EXPECT_EQ(Take->GetCountdownSeconds(), 2.0f);
	EXPECT_FALSE(UTakeRecorderBlueprintLibrary::IsRecording());
	Recorder.Tick(2.0f);
	EXPECT_EQ(Take->GetState(), ETakeRecorderState::Started);
	EXPECT_TRUE(UTakeRecorderBlueprintLibrary::IsRecording());
	PushCamera(2);
	Panel->StopRecording();
	EXPECT_EQ(Take->GetState(), ETakeRecorderState::Stopped);
	EXPECT_EQ(UTakeRecorderBlueprintLibrary::GetActiveRecorder(), nullptr);
	EXPECT_EQ(ReadTake(Recorder.GetTakeFilePath()).size(), 1u) << "only the frame pushed after the countdown";
	EXPECT_EQ(MetaData->GetTakeNumber(), 13);

	Panel->StartRecording();
	UTakeRecorder* Cancelled = UTakeRecorderBlueprintLibrary::GetActiveRecorder();
	ASSERT_NE(Cancelled, nullptr);
	Recorder.Tick(2.9f);
	Panel->StopRecording();
	Recorder.Tick(1.0f);
	EXPECT_EQ(Cancelled->GetState(), ETakeRecorderState::Cancelled);
	EXPECT_EQ(UTakeRecorderBlueprintLibrary::GetActiveRecorder(), nullptr);
	EXPECT_FALSE(Recorder.IsRecording());
	EXPECT_EQ(CountTakeFiles(), 1);
	EXPECT_EQ(MetaData->GetTakeNumber(), 13);

	// Without a countdown the take starts on the next tick, not at once.
	Recorder.SetCountdownSeconds(0.0f);
	Panel->StartRecording();
	EXPECT_FALSE(Recorder.IsRecording());
	Recorder.Tick(0.0f);
	EXPECT_TRUE(Recorder.IsRecording());
}

// Faults caught: a refusal the stand-in does not make where the editor does (so the plug-in's tests pass on a
// recorder more forgiving than the editor's), a refusal without a reason or without its Error line, a check that
// gives another answer than the start, and a slate refused that the editor takes.
TEST_F(TakeRecorderTest, StartsTheEditorRefusesRecordNothingAndSayWhy)
{
	enum class ECondition
	{
		Ready,
		CountingDown,
		Recording,
		Reviewing,
		NoSource,
	};
	struct FRow
	{
		const TCHAR* Slate;
		/** What the recorder is doing when the take is asked for. */
		ECondition Condition;
		/** Empty: the take starts. */
		const char* Reason;
	};
	const FRow Rows[] = {
	    {TEXT("Scene_4-b"), ECondition::Ready, ""},
	    {TEXT("\u64ae\u5f71/2"), ECondition::Ready, ""},
	    {TEXT("A001"), ECondition::CountingDown, "already counting down"},
	    {TEXT("A001"), ECondition::Recording, "already being recorded"},
	    {TEXT("A001"), ECondition::Reviewing, "reviewing a recorded take"},
	    {TEXT("A001"), ECondition::NoSource, "no Take Recorder source is enabled"},
	    {TEXT(""), ECondition::Ready, "the slate is empty"},
	    {TEXT("Scene 4"), ECondition::Ready, "it holds a space"},
	    {TEXT("A\t1"), ECondition::Ready, "it holds a tab"},
	    {TEXT("A1\r"), ECondition::Ready, "it holds a carriage return"},
	    {TEXT("A\n1"), ECondition::Ready, "it holds a line feed"},
	    {TEXT("4.1"), ECondition::Ready, "it holds '.'"},
	    {TEXT("4,1"), ECondition::Ready, "it holds ','"},
	    {TEXT("Ann's"), ECondition::Ready, "it holds '''"},
	    {TEXT("A&B"), ECondition::Ready, "it holds '&'"},
	    {TEXT("Go!"), ECondition::Ready, "it holds '!'"},
	    {TEXT("~A"), ECondition::Ready, "it holds '~'"},
	    {TEXT("A@B"), ECondition::Ready, "it holds '@'"},
	    {TEXT("#4"), ECondition::Ready, "it holds '#'"},
	    {TEXT("A\\B"), ECondition::Ready, "it holds '\\'"},
	    {TEXT("A:B"), ECondition::Ready, "it holds ':'"},
	    {TEXT("A*"), ECondition::Ready, "it holds '*'"},
	    {TEXT("A?"), ECondition::Ready, "it holds '?'"},
	    {TEXT("\"A\""), ECondition::Ready, "it holds '\"'"},
	    {TEXT("<A"), ECondition::Ready, "it holds '<'"},
	    {TEXT("A>"), ECondition::Ready, "it holds '>'"},
	    {TEXT("A|B"), ECondition::Ready, "it holds '|'"},
	};
	Recorder.SetCountdownSeconds(1.0f);
	for (const FRow& Row : Rows)
	{
		const std::string Name = TCHAR_TO_UTF8(Row.Slate);
		UTakeRecorderPanel* Panel = Recorder.OpenPanel();
		if (Row.Condition == ECondition::CountingDown || Row.Condition == ECondition::Recording)
		{
			MetaData->SetSlate(FString(TEXT("Before")));
			ASSERT_TRUE(Recorder.StartRecording()) << Name;
			Recorder.Tick(Row.Condition == ECondition::Recording ? 1.0f : 0.5f);
		}
		Recorder.SetPanelMode(Row.Condition == ECondition::Reviewing ? ETakeRecorderPanelMode::ReviewingRecording : ETakeRecorderPanelMode::NewRecording);
		Recorder.SetSourcesEnabled(Row.Condition != ECondition::NoSource);
		MetaData->SetSlate(FString(Row.Slate));
		UTakeRecorder* const Before = Recorder.GetActiveRecorder();
		const int32 FilesBefore = CountTakeFiles();
		FLogCapture Log;

		FText CheckReason;
		const bool bCanStart = Panel->CanStartRecording(CheckReason);
		Panel->StartRecording();

		const bool bRefused = *Row.Reason != 0;
		EXPECT_EQ(bCanStart, !bRefused) << Name;
		EXPECT_EQ(CountErrorLines(Log), bRefused ? 1 : 0) << Name;
		if (bRefused)
		{
			const std::string Reason = TCHAR_TO_UTF8(*CheckReason.ToString());
			EXPECT_NE(Reason.find(Row.Reason), std::string::npos) << Name << ": " << Reason;
			ASSERT_FALSE(Log.GetLines().empty()) << Name;
			EXPECT_EQ(Log.GetLines().back().Text, Reason) << Name;
			EXPECT_EQ(Recorder.GetActiveRecorder(), Before) << Name << ": a refused start changes nothing";
			Recorder.Tick(1.0f);
			EXPECT_EQ(CountTakeFiles(), FilesBefore + (Before != nullptr && Row.Condition == ECondition::CountingDown ? 1 : 0)) << Name;
		}
		else
		{
			Recorder.Tick(1.0f);
			EXPECT_TRUE(Recorder.IsRecording()) << Name;
		}
		Recorder.StopRecording();
		Recorder.SetSourcesEnabled(true);
		Recorder.ClosePanel();
	}
}

// Faults caught: SetSlate starting the take number again at 1, as the engine does not; a reviewed take whose
// metadata takes writes; a panel that keeps showing the reviewed take once back on a new recording.
TEST_F(TakeRecorderTest, AReviewedTakeKeepsItsMetadataAndTheNextTakeKeepsItsNumberOverASlate)
{
	MetaData->SetSlate(FString(TEXT("A004")));
	MetaData->SetTakeNumber(7);
	ASSERT_TRUE(Record());
	Recorder.StopRecording();
	MetaData->SetSlate(FString(TEXT("B002")));
	EXPECT_EQ(MetaData->GetTakeNumber(), 8);

	UTakeRecorderPanel* Panel = Recorder.OpenPanel();
	Recorder.SetPanelMode(ETakeRecorderPanelMode::ReviewingRecording);
	EXPECT_EQ(Panel->GetMode(), ETakeRecorderPanelMode::ReviewingRecording);
	UTakeMetaData* Reviewed = Panel->GetTakeMetaData();
	ASSERT_NE(Reviewed, nullptr);
	Reviewed->SetSlate(FString(TEXT("C003")));
	Reviewed->SetTakeNumber(30);
	EXPECT_TRUE(Reviewed->IsLocked());
	EXPECT_EQ(std::string(TCHAR_TO_UTF8(*Reviewed->GetSlate())), "A004");
	EXPECT_EQ(Reviewed->GetTakeNumber(), 7);
	EXPECT_EQ(std::string(TCHAR_TO_UTF8(*MetaData->GetSlate())), "B002");

	Recorder.SetPanelMode(ETakeRecorderPanelMode::NewRecording);
	EXPECT_EQ(Panel->GetTakeMetaData(), MetaData);
}

TEST_F(TakeRecorderTest, FileNameIsTheSlateMadeSafeAndShortAndTheFileKeepsTheWholeSlate)
{
	// 300 characters, with path separators and a letter outside ASCII; 23 cleaned copies and a half fill 235 characters.
	FString LongSlate;
	std::string LongName;
	for (int32 Copy = 0; Copy < 30; ++Copy)
	{
		LongSlate += TEXT("Sc\u00e8ne/042-");
		LongName += "Sc_ne_042-";
	}
	LongName.resize(235);
	const std::string LongSlateText = TCHAR_TO_UTF8(*LongSlate);
	const struct
	{
		FString Slate;
		int32 TakeNumber;
		std::string FileName;
		std::string SlateLine;
	} Rows[] = {
	    {TEXT("A004"), 12, "A004_012.csv", "# Slate: A004, Take: 12"},
	    {TEXT("scene-1_b"), 1, "scene-1_b_001.csv", "# Slate: scene-1_b, Take: 1"},
	    {TEXT("/etc/x-y"), 7, "_etc_x-y_007.csv", "# Slate: /etc/x-y, Take: 7"},
	    {TEXT("caf\u00e9"), 1000, "caf__1000.csv", "# Slate: caf\u00e9, Take: 1000"},
	    {TEXT("\u64ae\u5f71-/"), 3, "Take_003.csv", "# Slate: \u64ae\u5f71-/, Take: 3"},
	    {LongSlate, 7, LongName + "_007.csv", "# Slate: " + LongSlateText + ", Take: 7"},
	    {LongSlate, 2147483647, LongName + "_2147483647.csv", "# Slate: " + LongSlateText + ", Take: 2147483647"},
	    {LongSlate, 2147483647, LongName + "_2147483647_2.csv", "# Slate: " + LongSlateText + ", Take: 2147483647"},
	};
	for (const auto& Row : Rows)
	{
		MetaData->SetSlate(Row.Slate);
		MetaData->SetTakeNumber(Row.TakeNumber);
		ASSERT_TRUE(Record()) << Row.FileName;
		PushCamera(1);
		EXPECT_TRUE(Recorder.StopRecording());
		EXPECT_EQ(fs::path(TCHAR_TO_UTF8(*Recorder.GetTakeFilePath())).filename().string(), Row.FileName);
		EXPECT_EQ(ReadSlateLine(Recorder.GetTakeFilePath()), Row.SlateLine);
		EXPECT_EQ(ReadTake(Recorder.GetTakeFilePath()).size(), 1u) << Row.FileName;
		EXPECT_TRUE(fs::is_regular_file(fs::path(Directory.Path) / "Saved/Takes" / Row.FileName)) << Row.FileName;
	}
}

TEST_F(TakeRecorderTest, SameSlateAndTakeGetANewFileAndTheFirstIsUnchanged)
{
	MetaData->SetSlate(FString(TEXT("A004")));
	MetaData->SetTakeNumber(12);
	ASSERT_TRUE(Record());
	PushCamera(1);
	Recorder.StopRecording();
	const FString FirstPath = Recorder.GetTakeFilePath();
	const std::string FirstText = ReadFile(FirstPath);

	for (const char* Expected : {"A004_012_2.csv", "A004_012_3.csv"})
	{
		// Set back by hand, as the recorder moved it on after the take.
		MetaData->SetTakeNumber(12);
		ASSERT_TRUE(Record());
		PushCamera(2);
		PushCamera(3);
		Recorder.StopRecording();
		EXPECT_EQ(fs::path(TCHAR_TO_UTF8(*Recorder.GetTakeFilePath())).filename().string(), Expected);
		EXPECT_EQ(ReadTake(Recorder.GetTakeFilePath()).size(), 2u);
	}
	EXPECT_EQ(ReadFile(FirstPath), FirstText);
	EXPECT_EQ(ReadTake(FirstPath).size(), 1u);
}

TEST_F(TakeRecorderTest, StartWhileRecordingIsRefusedAndStopWhileNotDoesNothing)
{
	FLogCapture Log;
	EXPECT_FALSE(Recorder.StopRecording());
	EXPECT_TRUE(Log.GetLines().empty());

	ASSERT_TRUE(Record());
	const FString Path = Recorder.GetTakeFilePath();
	PushCamera(1);
	EXPECT_FALSE(Recorder.StartRecording());
	Recorder.Tick(0.0f);
	EXPECT_EQ(Recorder.GetTakeFilePath(), Path);
	PushCamera(2);
	EXPECT_TRUE(Recorder.StopRecording());
	EXPECT_FALSE(Recorder.StopRecording());

	EXPECT_EQ(ReadTake(Path).size(), 2u);
	EXPECT_EQ(CountTakeFiles(), 1);
	EXPECT_EQ(CountErrorLines(Log), 1) << "the refused start";
}

TEST_F(TakeRecorderTest, ClosingThePanelStopsTheTake)
{
	Recorder.OpenPanel()->StartRecording();
	Recorder.Tick(0.0f);
	PushCamera(1);
	Recorder.ClosePanel();
	PushCamera(2);
	EXPECT_FALSE(Recorder.IsRecording());
	EXPECT_EQ(ReadTake(Recorder.GetTakeFilePath()).size(), 1u);
}

TEST_F(TakeRecorderTest, DirectoryThatIsAFileRefusesTheTakeWithOneError)
{
	const std::string Blocker = Directory.Path + "/NotADirectory";
	std::ofstream(Blocker) << "occupied";
	Recorder.SetTakesDirectory(InDirectory(Directory, "NotADirectory/Takes"));
	FLogCapture Log;
	const std::string Before = UtcSecondsNow();

	EXPECT_FALSE(Record());
	PushCamera(1);

	EXPECT_FALSE(Recorder.IsRecording());
	EXPECT_EQ(Recorder.GetActiveRecorder(), nullptr) << "the failed take ends there";
	EXPECT_EQ(MetaData->GetTakeNumber(), 1) << "nothing was recorded";
	EXPECT_EQ(CountErrorLines(Log), 1);
	ExpectLastError(Recorder, FTakeRecorder::ETakeOperation::Start, Blocker + "/Takes", ENOTDIR, Before);
	EXPECT_EQ(ReadFile(InDirectory(Directory, "NotADirectory")), "occupied");

	// The next take, with a usable directory, records as usual.
	Recorder.SetTakesDirectory(InDirectory(Directory, "Takes"));
	EXPECT_TRUE(Record());
	Recorder.StopRecording();
}

TEST_F(TakeRecorderTest, WriteErrorStopsTheTakeAndKeepsEveryWholeRow)
{
	ASSERT_TRUE(Record());
	PushCamera(1);
	PushCamera(2);
	const FString Path = Recorder.GetTakeFilePath();
	const uintmax_t WrittenSize = fs::file_size(TCHAR_TO_UTF8(*Path));
	FLogCapture Log;
	{
		// The file may grow by a few bytes more, so the next row is cut part-way, as a full disk would cut it.
		rlimit Original{};
		ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &Original), 0);
		const auto PreviousHandler = std::signal(SIGXFSZ, SIG_IGN);
		rlimit Limited = Original;
		Limited.rlim_cur = rlim_t(WrittenSize + 10);
		ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &Limited), 0);
		PushCamera(3);
		::setrlimit(RLIMIT_FSIZE, &Original);
		std::signal(SIGXFSZ, PreviousHandler);
	}
	PushCamera(4);

	EXPECT_FALSE(Recorder.IsRecording());
	EXPECT_FALSE(Recorder.StopRecording());
	EXPECT_EQ(CountErrorLines(Log), 1);
	ExpectLastError(Recorder, FTakeRecorder::ETakeOperation::Write, TCHAR_TO_UTF8(*Path), EFBIG, UtcSecondsNow(-1));
	EXPECT_EQ(Recorder.GetTakeFrameCount(), 2);
	EXPECT_EQ(fs::file_size(TCHAR_TO_UTF8(*Path)), WrittenSize);
	const std::vector<std::vector<std::string>> Rows = ReadTake(Path);
	ASSERT_EQ(Rows.size(), 2u);
	ExpectCameraRow(Rows[0], CameraKey, 1);
	ExpectCameraRow(Rows[1], CameraKey, 2);
}

TEST_F(TakeRecorderTest, ReadOnlyFileSystemRefusesTheTakeAndNamesTheFile)
{
	FSmallTmpfs ReadOnly(MS_RDONLY);
	if (ReadOnly.Path.empty())
	{
		GTEST_SKIP() << "this machine does not let the test mount a tmpfs: " << ReadOnly.Refusal;
	}
	Recorder.SetTakesDirectory(FString(UTF8_TO_TCHAR(ReadOnly.Path.c_str())));
	FLogCapture Log;
	const std::string Before = UtcSecondsNow();

	EXPECT_FALSE(Record());

	EXPECT_FALSE(Recorder.IsRecording());
	EXPECT_EQ(CountErrorLines(Log), 1);
	ExpectLastError(Recorder, FTakeRecorder::ETakeOperation::Start, ReadOnly.Path + "/A001_001.csv", EROFS, Before);
}

TEST_F(TakeRecorderTest, FullDiskEndsTheTakeWithWholeRowsOnly)
{
	FSmallTmpfs Disk(0);
	if (Disk.Path.empty())
	{
		GTEST_SKIP() << "this machine does not let the test mount a tmpfs: " << Disk.Refusal;
	}
	Recorder.SetTakesDirectory(FString(UTF8_TO_TCHAR(Disk.Path.c_str())));
	FLogCapture Log;
	const std::string Before = UtcSecondsNow();

	ASSERT_TRUE(Record());
	// Bounded: 64 KiB holds a few hundred rows.
	for (int32 Index = 0; Index < 100000 && Recorder.IsRecording(); ++Index)
	{
		PushCamera(Index);
	}

	EXPECT_FALSE(Recorder.IsRecording());
	EXPECT_FALSE(Recorder.StopRecording());
	EXPECT_EQ(CountErrorLines(Log), 1);
	const FString Path = Recorder.GetTakeFilePath();
	ExpectLastError(Recorder, FTakeRecorder::ETakeOperation::Write, TCHAR_TO_UTF8(*Path), ENOSPC, Before);
	const std::vector<std::vector<std::string>> Rows = ReadTake(Path);
	EXPECT_GT(Rows.size(), 0u);
	EXPECT_EQ(int32(Rows.size()), Recorder.GetTakeFrameCount());
	ExpectCameraRow(Rows.back(), CameraKey, int32(Rows.size()) - 1);
}

TEST_F(TakeRecorderTest, TakesStartAndStopWhileAnotherThreadPushes)
{
	std::atomic<bool> bPushing{true};
	std::thread Pusher(
	    [&]()
	    {
		    for (int32 Index = 0; bPushing.load(); ++Index)
		    {
			    FLiveLinkFrameDataStruct Frame = MakeCameraFrame(Index % 100);
			    // On in time, so that the subject's buffer never drops a wrapped frame as too old.
			    Frame.GetBaseData()->WorldTime = FLiveLinkWorldTime(16777216.0 + Index / 3.0, 0.125);
			    Client.PushSubjectFrameData_AnyThread(CameraKey, MoveTemp(Frame));
		    }
	    });
	std::vector<std::pair<FString, int32>> Takes;
	for (int32 Take = 1; Take <= 5; ++Take)
	{
		MetaData->SetTakeNumber(Take);
		ASSERT_TRUE(Record());
		// Bounded: a take ends once it has some frames, or after the limit whatever it holds.
		for (int32 Spin = 0; Spin < 100000 && Recorder.GetTakeFrameCount() < 20; ++Spin)
		{
			Client.Tick();
		}
		Recorder.StopRecording();
		Takes.emplace_back(Recorder.GetTakeFilePath(), Recorder.GetTakeFrameCount());
	}
	bPushing.store(false);
	Pusher.join();

	for (const auto& [Path, FrameCount] : Takes)
	{
		const std::vector<std::vector<std::string>> Rows = ReadTake(Path);
		EXPECT_EQ(int32(Rows.size()), FrameCount) << TCHAR_TO_UTF8(*Path);
		for (size_t Index = 1; Index < Rows.size(); ++Index)
		{
			// One pushing thread, so the rows are in the order pushed, whatever the client's queue cut out.
			EXPECT_LT(std::stod(Rows[Index - 1][2]), std::stod(Rows[Index][2])) << TCHAR_TO_UTF8(*Path) << " row " << Index;
		}
	}
}
