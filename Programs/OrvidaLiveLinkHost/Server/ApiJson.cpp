#include "Server/ApiJson.h"

#include "Editor/StreamState.h"

using nlohmann::json;

namespace
{
json FromTriple(const double Values[3]) { return json::array({Values[0], Values[1], Values[2]}); }

json FromSource(const FHostSourceSnapshot& Source)
{
	// The rate the camera says it runs at, in the timecode of the last frame taken in: what the received rate
	// should read on a clean stream.
	const double ExpectedPerSecond = Source.bHasFrame && Source.RateDenominator > 0 ? double(Source.RateNumerator) / Source.RateDenominator : 0.0;
	return {
	    {"guid", Source.Guid},
	    {"type", Source.Type},
	    {"machine", Source.Machine},
	    {"color", Source.Color},
	    {"status", Source.Status},
	    {"endpoint", Source.Endpoint},
	    {"state", {{"text", Source.State.Text}, {"severity", FHostStreamState::SeverityName(Source.State.Severity)}}},
	    {"options", {{"autoLens", Source.bAutoLens}, {"autoSceneTake", Source.bAutoSceneTakeUpdate}, {"autoRecord", Source.bAutoRecord}}},
	    {"settings", Source.Settings ? json{{"subjectName", Source.Settings->SubjectName},
	                                        {"autoLens", Source.Settings->bAutoLens},
	                                        {"autoSceneTakeUpdate", Source.Settings->bAutoSceneTakeUpdate},
	                                        {"autoRecord", Source.Settings->bAutoRecord}}
	                                 : json()},
	    {"sameSubjectNameAs", Source.SameSubjectNameAs},
	    {"cameraTake",
	     Source.bCameraTakeRead ? json{{"slate", Source.CameraSlate}, {"take", Source.CameraTakeNumber}, {"recording", Source.bCameraRecording}} : json()},
	    {"health",
	     {{"received", Source.Received},
	      {"receivedPerSecond", Source.ReceivedPerSecond},
	      {"expectedPerSecond", ExpectedPerSecond},
	      {"samples", Source.Samples},
	      {"dropped", Source.Dropped},
	      {"decimated", Source.Decimated},
	      {"lostFraction", Source.LostFraction},
	      {"decimatedPerSecond", Source.DecimatedPerSecond},
	      {"ringCount", Source.RingCount},
	      {"ringCapacity", Source.RingCapacity},
	      {"underruns", Source.Underruns},
	      {"unparsed", Source.Unparsed},
	      {"withoutCamera", Source.WithoutCamera},
	      {"foreignKeys", Source.ForeignKeys},
	      {"timecodeGaps", Source.TimecodeGaps},
	      {"timecodeRepeats", Source.TimecodeRepeats},
	      {"jitterMilliseconds", Source.JitterMilliseconds},
	      {"interarrivalMilliseconds", Source.InterarrivalMilliseconds},
	      {"secondsSinceLastDatagram", Source.SecondsSinceLastDatagram},
	      {"recentSenders", Source.RecentSenders},
	      {"latencyMilliseconds", Source.LatencyMilliseconds}}},
	    {"frame", Source.bHasFrame ? json{{"frameNumber", Source.FrameNumber}, {"rate", {Source.RateNumerator, Source.RateDenominator}}} : json()},
	};
}

json FromFrame(const FHostFrameSnapshot& Frame)
{
	json Result = {
	    {"location", FromTriple(Frame.Location)},
	    {"rotation", json::array({Frame.Rotation[0], Frame.Rotation[1], Frame.Rotation[2], Frame.Rotation[3]})},
	    {"pitchYawRoll", FromTriple(Frame.PitchYawRoll)},
	    {"scale", FromTriple(Frame.Scale)},
	    {"sceneTime", Frame.SceneTime},
	    {"worldTime", Frame.WorldTime},
	};
	if (Frame.bIsCamera)
	{
		Result["fieldOfView"] = Frame.FieldOfView;
		Result["aspectRatio"] = Frame.AspectRatio;
		Result["focusDistance"] = Frame.FocusDistance;
	}
	return Result;
}

json FromCamera(const FHostCameraSnapshot& Camera) { return {{"fieldOfView", Camera.FieldOfView}, {"aspectRatio", Camera.AspectRatio}}; }

json FromCineCamera(const FHostCineCameraSnapshot& CineCamera)
{
	return {{"focalLength", CineCamera.FocalLength},
	        {"fieldOfView", CineCamera.FieldOfView},
	        {"aperture", CineCamera.Aperture},
	        {"focusDistance", CineCamera.FocusDistance}};
}

json FromSubject(const FHostSubjectSnapshot& Subject)
{
	return {
	    {"source", Subject.SourceGuid},
	    {"name", Subject.Name},
	    {"role", Subject.Role},
	    {"enabled", Subject.bEnabled},
	    {"staticData",
	     {{"location", Subject.bIsLocationSupported},
	      {"rotation", Subject.bIsRotationSupported},
	      {"scale", Subject.bIsScaleSupported},
	      {"fieldOfView", Subject.bIsFieldOfViewSupported},
	      {"aspectRatio", Subject.bIsAspectRatioSupported},
	      {"focalLength", Subject.bIsFocalLengthSupported},
	      {"focusDistance", Subject.bIsFocusDistanceSupported},
	      {"aperture", Subject.bIsApertureSupported}}},
	    {"frame", Subject.Frame ? FromFrame(*Subject.Frame) : json()},
	    {"camera", Subject.Camera ? FromCamera(*Subject.Camera) : json()},
	    {"cineCamera", Subject.CineCamera ? FromCineCamera(*Subject.CineCamera) : json()},
	};
}

json FromWidget(const FHostWidgetSnapshot& Widget)
{
	json Result = {{"id", Widget.Id}, {"kind", Widget.Kind}, {"enabled", Widget.bEnabled}};
	if (Widget.Kind == "STextBlock" || Widget.Kind == "SEditableTextBox")
	{
		Result["text"] = Widget.Text;
	}
	if (Widget.bChecked)
	{
		Result["checked"] = *Widget.bChecked;
	}
	json Children = json::array();
	for (const FHostWidgetSnapshot& Child : Widget.Children)
	{
		Children.push_back(FromWidget(Child));
	}
	Result["children"] = std::move(Children);
	return Result;
}

json FromSetting(const FHostSettingSnapshot& Setting)
{
	json Value = Setting.Value;
	if (Setting.Kind == FHostSettingSnapshot::EKind::Bool)
	{
		Value = Setting.Value == "true";
	}
	else if (Setting.Kind == FHostSettingSnapshot::EKind::Integer)
	{
		Value = std::stoll(Setting.Value);
	}
	return {{"key", Setting.Key}, {"value", std::move(Value)}, {"tooltip", Setting.Tooltip}};
}

template <class T, class F> json FromEach(const std::vector<T>& Items, F&& Convert)
{
	json Result = json::array();
	for (const T& Item : Items)
	{
		Result.push_back(Convert(Item));
	}
	return Result;
}
} // namespace

json FHostApiJson::FromPanel(const FHostPanelSnapshot& Panel)
{
	return {{"id", Panel.Id}, {"factory", Panel.Factory}, {"root", FromWidget(Panel.Root)}, {"repair", Panel.Repair}};
}

json FHostApiJson::FromSnapshot(const FHostSnapshot& Snapshot)
{
	const FHostTakeSnapshot& Take = Snapshot.Take;
	return {
	    {"tick", Snapshot.TickCount},
	    {"ticksPerSecond", Snapshot.TicksPerSecond},
	    {"sources", FromEach(Snapshot.Sources, FromSource)},
	    {"subjects", FromEach(Snapshot.Subjects, FromSubject)},
	    {"factories", FromEach(Snapshot.Factories,
	                           [](const FHostFactorySnapshot& Factory) -> json {
		                           return {{"name", Factory.Name}, {"displayName", Factory.DisplayName}, {"tooltip", Factory.Tooltip}};
	                           })},
	    {"panel", Snapshot.Panel ? FromPanel(*Snapshot.Panel) : json()},
	    {"take",
	     {{"slate", Take.Slate},
	      {"takeNumber", Take.TakeNumber},
	      {"countingDown", Take.bCountingDown},
	      {"countdownSecondsLeft", Take.CountdownSecondsLeft},
	      {"recording", Take.bRecording},
	      {"panelOpen", Take.bPanelOpen},
	      {"refusal", Take.Refusal},
	      {"lastError", Take.LastError}}},
	    {"takes", FromEach(*Snapshot.Takes,
	                       [](const FHostTakeFileSnapshot& File) -> json
	                       {
		                       return {
		                           {"file", File.FileName},       {"frames", File.FrameCount}, {"rows", File.Rows},  {"durationSeconds", File.DurationSeconds},
		                           {"sizeBytes", File.SizeBytes}, {"sources", File.Sources},   {"error", File.Error}};
	                       })},
	    {"settings", FromEach(Snapshot.Settings, FromSetting)},
	    {"preset", {{"file", Snapshot.Preset.File.empty() ? json() : json(Snapshot.Preset.File)}, {"lastOutcome", Snapshot.Preset.LastOutcome}}},
	    {"log",
	     FromEach(Snapshot.Log,
	              [](const FHostLogLineSnapshot& Line) -> json {
		              return {{"time", Line.Time}, {"category", Line.Category}, {"verbosity", Line.Verbosity}, {"text", Line.Text}, {"count", Line.Count}};
	              })},
	};
}
