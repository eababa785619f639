#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

/** How much a state asks of the operator: colours follow it. */
enum class EHostSeverity
{
	Ok,
	Notice,
	Warning,
	Error,
};

/** A source's stream in a few words (FHostStreamState says which and why). */
struct FHostStateSnapshot
{
	std::string Text;
	EHostSeverity Severity = EHostSeverity::Notice;
};

/** One source as the game thread saw it at the end of a tick. */
struct FHostSourceSnapshot
{
	/** The client's guid for the source, and what the source says about itself. */
	std::string Guid;
	std::string Type;
	std::string Machine;
	/** The source's colour on the page, #rrggbb, kept for its life (FHostSourceColors). */
	std::string Color;
	/** The options the source was made with. */
	bool bAutoLens = false;
	bool bAutoSceneTakeUpdate = false;
	bool bAutoRecord = false;
	/**
	 * The client's settings of the source, as the Live Link panel's details show them; none for settings of the
	 * engine's base class (a preset saved before the source had its own).
	 */
	struct FSettings
	{
		std::string SubjectName;
		bool bAutoLens = false;
		bool bAutoSceneTakeUpdate = false;
		bool bAutoRecord = false;
	};
	std::optional<FSettings> Settings;
	/** The other sources publishing a subject of the same name, of which the client enables only one. */
	std::vector<std::string> SameSubjectNameAs;
	/** Where the source listens, a.b.c.d:port, with the port the system picked when it was asked for 0. */
	std::string Endpoint;
	/** The source's status text ("Receiving", "Waiting for data", "Device Not Found"...). */
	std::string Status;
	/** Datagrams the source received, and how many a second over about the last second. */
	int64_t Received = 0;
	double ReceivedPerSecond = 0.0;
	/**
	 * Samples the receiver stored in the ring; those the ring overwrote before they were due because the engine
	 * ticks slower than the stream (decimated, by design); and those it overwrote otherwise (dropped).
	 */
	int64_t Samples = 0;
	int64_t Decimated = 0;
	int64_t Dropped = 0;
	int32_t RingCount = 0;
	int32_t RingCapacity = 0;
	/** Playout frames that found no new sample and played the due one again. */
	int64_t Underruns = 0;
	/** Datagrams that were no JSON object, and those without a camera record; top-level keys other than the camera's. */
	int64_t Unparsed = 0;
	int64_t WithoutCamera = 0;
	int64_t ForeignKeys = 0;
	/** Samples whose frame number skipped ahead, and those whose frame number repeated or stepped back. */
	int64_t TimecodeGaps = 0;
	int64_t TimecodeRepeats = 0;
	double JitterMilliseconds = 0.0;
	/** Negative until two datagrams have arrived. */
	double InterarrivalMilliseconds = -1.0;
	/** Negative while no datagram has arrived. */
	double SecondsSinceLastDatagram = -1.0;
	/** How long the frame last published waited in the source, from its sample's arrival; negative before one. */
	double LatencyMilliseconds = -1.0;
	/** Sender addresses and ports heard from in the last few seconds. */
	int32_t RecentSenders = 0;
	/**
	 * Over about the last second: frames lost (timecode gaps and samples dropped) for each sample that came, 0
	 * while no sample came; and samples decimated a second.
	 */
	double LostFraction = 0.0;
	double DecimatedPerSecond = 0.0;
	/**
	 * The take as the camera application last spoke of it, in the sample last published (bCameraTakeRead false
	 * while the source reads no take state: neither Auto Scene/Take nor Auto Record, or no sample yet).
	 */
	bool bCameraTakeRead = false;
	std::string CameraSlate;
	std::string CameraTakeNumber;
	bool bCameraRecording = false;
	/** The stream's state in words, the same on the console, in the API and on the page. */
	FHostStateSnapshot State;
	/** Whether the client holds a frame of the source's camera subject; the scene time below is that frame's. */
	bool bHasFrame = false;
	int32_t FrameNumber = 0;
	int32_t RateNumerator = 0;
	int32_t RateDenominator = 0;
};

/** The Take Recorder as the game thread saw it at the end of a tick. */
struct FHostTakeSnapshot
{
	std::string Slate;
	int32_t TakeNumber = 0;
	/** A take asked for that has not begun recording yet, and the seconds it has left to count. */
	bool bCountingDown = false;
	double CountdownSecondsLeft = 0.0;
	bool bRecording = false;
	bool bPanelOpen = false;
	/** Why a take asked for now would be refused; empty while one could start, or one is counting down or recording. */
	std::string Refusal;
	/** The Take Recorder's last failure, its UTC time then what failed and why; empty while there was none. */
	std::string LastError;
};

/** The host's capture file, when it writes one. */
struct FHostCaptureSnapshot
{
	bool bCapturing = false;
	/** Datagrams in the file, and those the capture lost (never the sources). */
	int64_t Written = 0;
	int64_t Dropped = 0;
};

/** A take file in the takes folder, as FHostTakeFileReader reads it. */
struct FHostTakeFileSnapshot
{
	/** The file's name in the takes folder, and its full path. */
	std::string FileName;
	std::string Path;
	/** Rows, one a frame a subject; frames, the distinct frame numbers of the subject with the most. */
	int64_t Rows = 0;
	int64_t FrameCount = 0;
	/** From the earliest row's world time to the latest's. */
	double DurationSeconds = 0.0;
	int64_t SizeBytes = 0;
	/** When the file last changed, in nanoseconds since the epoch: the list is in this order. */
	int64_t ModifiedNanoseconds = 0;
	/** The guids of the sources whose subjects have rows, sorted. */
	std::vector<std::string> Sources;
	/** Why the file could not be read whole, with the line; empty when it was. */
	std::string Error;
};

/** The frame the client evaluated for a subject on this tick, in the client's units (centimetres, degrees). */
struct FHostFrameSnapshot
{
	double Location[3] = {0.0, 0.0, 0.0};
	/** X, Y, Z, W as the source sent it, and the same rotation as pitch, yaw and roll in degrees. */
	double Rotation[4] = {0.0, 0.0, 0.0, 1.0};
	double PitchYawRoll[3] = {0.0, 0.0, 0.0};
	double Scale[3] = {1.0, 1.0, 1.0};
	/** Camera frames only. */
	bool bIsCamera = false;
	double FieldOfView = 0.0;
	double AspectRatio = 0.0;
	double FocusDistance = 0.0;
	/** HH:MM:SS:FF @ numerator/denominator; empty when the frame has no valid rate. */
	std::string SceneTime;
	/** The frame's time on the engine clock, in seconds. */
	double WorldTime = 0.0;
};

/** What a plain camera driven by a camera subject shows. */
struct FHostCameraSnapshot
{
	/** Horizontal, in degrees. */
	double FieldOfView = 0.0;
	double AspectRatio = 0.0;
};

/** What a Cine Camera (36 x 24 mm filmback) driven by a camera subject shows. */
struct FHostCineCameraSnapshot
{
	/** In millimetres. */
	double FocalLength = 0.0;
	/** Horizontal, in degrees: the focal length's on the filmback. */
	double FieldOfView = 0.0;
	double Aperture = 0.0;
	/** The manual focus distance, in centimetres. */
	double FocusDistance = 0.0;
};

/**
 * A subject of the client, with its role, whether it is enabled, what its static data supports, the frame the client
 * evaluated for it on this tick if any (what the editor's displays and camera controllers use), and, for a camera
 * subject, what the host's two cameras driven by it show.
 */
struct FHostSubjectSnapshot
{
	std::string SourceGuid;
	std::string Name;
	std::string Role;
	/** The client enables one subject of a name: a disabled subject's frames are dropped, and it has no frame here. */
	bool bEnabled = false;
	bool bIsLocationSupported = false;
	bool bIsRotationSupported = false;
	bool bIsScaleSupported = false;
	bool bIsFieldOfViewSupported = false;
	bool bIsAspectRatioSupported = false;
	bool bIsFocalLengthSupported = false;
	bool bIsFocusDistanceSupported = false;
	bool bIsApertureSupported = false;
	std::optional<FHostFrameSnapshot> Frame;
	/** Camera subjects only; there from the subject's first static data, before any frame. */
	std::optional<FHostCameraSnapshot> Camera;
	std::optional<FHostCineCameraSnapshot> CineCamera;
};

/** A source factory found among the registered classes, as the add-source menu lists it. */
struct FHostFactorySnapshot
{
	/** The class name, which names the factory in the API. */
	std::string Name;
	std::string DisplayName;
	std::string Tooltip;
};

/** One widget of a creation panel and the widgets in its slots. */
struct FHostWidgetSnapshot
{
	uint64_t Id = 0;
	/** The widget's class ("SEditableTextBox", "SCheckBox", "SButton", "STextBlock", ...). */
	std::string Kind;
	/** Text boxes and text blocks only. */
	std::string Text;
	/** Check boxes only. */
	std::optional<bool> bChecked;
	bool bEnabled = true;
	std::vector<FHostWidgetSnapshot> Children;
};

/** The creation panel open in the add-source menu. */
struct FHostPanelSnapshot
{
	int64_t Id = 0;
	std::string Factory;
	FHostWidgetSnapshot Root;
	/** What the panel made of the last committed text when it replaced it ("'x' is not an address:port; using ..."); empty otherwise. */
	std::string Repair;
};

/** One project setting: its value as JSON would hold it, kept as the command line writes it, and its tooltip. */
struct FHostSettingSnapshot
{
	std::string Key;
	enum class EKind
	{
		Bool,
		Integer,
		Text,
	};
	EKind Kind = EKind::Text;
	std::string Value;
	std::string Tooltip;
};

/** The preset file the browser saves to and loads from. */
struct FHostPresetSnapshot
{
	/** Empty when the host was started without --preset. */
	std::string File;
	/** What the last save or load did, the file's refused entries among it; empty before either. */
	std::string LastOutcome;
};

/** A log line of the plug-in's categories; a line repeated back to back is kept once with its count. */
struct FHostLogLineSnapshot
{
	/** UTC, ISO 8601 to the millisecond, of the line's last repetition. */
	std::string Time;
	std::string Category;
	std::string Verbosity;
	std::string Text;
	int64_t Count = 1;
};

/**
 * What the host shows: built by the game thread once per tick and never changed after it is published, so any
 * thread may read it without touching the engine. Plain values only (UTF-8 text, numbers).
 */
struct FHostSnapshot
{
	/** Ticks of the game thread before this one was built, from 0. */
	int64_t TickCount = 0;
	/** Ticks a second over about the last second; 0 in the first. */
	double TicksPerSecond = 0.0;
	std::vector<FHostSourceSnapshot> Sources;
	std::vector<FHostSubjectSnapshot> Subjects;
	FHostTakeSnapshot Take;
	FHostCaptureSnapshot Capture;
	/**
	 * The take files in the takes folder, but the one being recorded, oldest first. Shared with the listing it came
	 * from, which changes about once a second, rather than copied into each tick's snapshot.
	 */
	std::shared_ptr<const std::vector<FHostTakeFileSnapshot>> Takes = std::make_shared<const std::vector<FHostTakeFileSnapshot>>();
	std::vector<FHostFactorySnapshot> Factories;
	std::optional<FHostPanelSnapshot> Panel;
	std::vector<FHostSettingSnapshot> Settings;
	FHostPresetSnapshot Preset;
	/** Oldest first. */
	std::vector<FHostLogLineSnapshot> Log;
};
