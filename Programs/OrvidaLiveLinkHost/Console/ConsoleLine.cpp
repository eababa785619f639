#include "Console/ConsoleLine.h"

#include "Editor/FrameText.h"

#include <cinttypes>
#include <cstdio>

std::string FormatCameraDisplay(const FHostCameraSnapshot& Camera)
{
	char Text[64];
	std::snprintf(Text, sizeof(Text), "Camera %.1f\u00b0 horizontal", Camera.FieldOfView);
	return Text;
}

std::string FormatCineCameraDisplay(const FHostCineCameraSnapshot& CineCamera)
{
	char Text[96];
	std::snprintf(Text, sizeof(Text), "Cine Camera %.1f mm, %.1f\u00b0 horizontal", CineCamera.FocalLength, CineCamera.FieldOfView);
	return Text;
}

std::string FormatConsoleLine(const FHostSourceSnapshot& Source, const FHostTakeSnapshot& Take, const FHostSubjectSnapshot* CameraSubject)
{
	char Received[64];
	std::snprintf(Received, sizeof(Received), ", received %" PRId64 " (%.1f/s)", Source.Received, Source.ReceivedPerSecond);
	std::string Line = Source.Endpoint + " " + Source.Status + Received;
	Line += ", samples " + std::to_string(Source.Samples) + ", dropped " + std::to_string(Source.Dropped);
	if (Source.bHasFrame)
	{
		Line += ", rate " + std::to_string(Source.RateNumerator) + "/" + std::to_string(Source.RateDenominator);
		const std::string Timecode = FHostFrameText::FormatTimecode(Source.FrameNumber, Source.RateNumerator, Source.RateDenominator);
		Line += ", timecode " + (Timecode.empty() ? std::string("-") : Timecode);
	}
	else
	{
		Line += ", rate -, timecode -";
	}
	Line += ", ring " + std::to_string(Source.RingCount) + "/" + std::to_string(Source.RingCapacity);
	Line += ", take " + (Take.Slate.empty() ? std::string("-") : Take.Slate) + " #" + std::to_string(Take.TakeNumber);
	if (Take.bCountingDown)
	{
		char Countdown[48];
		std::snprintf(Countdown, sizeof(Countdown), " counting down %.1f s", Take.CountdownSecondsLeft);
		Line += Countdown;
	}
	else
	{
		Line += Take.bRecording ? " recording" : " stopped";
	}
	char LastDatagram[32] = "-";
	if (Source.SecondsSinceLastDatagram >= 0.0)
	{
		std::snprintf(LastDatagram, sizeof(LastDatagram), "%.1f s ago", Source.SecondsSinceLastDatagram);
	}
	char Health[320];
	std::snprintf(Health, sizeof(Health),
	              ", unparsed %" PRId64 ", no camera %" PRId64 ", foreign keys %" PRId64 ", gaps %" PRId64 ", repeats %" PRId64 ", underruns %" PRId64
	              ", jitter %.2f ms, last datagram %s, senders %d",
	              Source.Unparsed, Source.WithoutCamera, Source.ForeignKeys, Source.TimecodeGaps, Source.TimecodeRepeats, Source.Underruns,
	              Source.JitterMilliseconds, LastDatagram, int(Source.RecentSenders));
	Line += Health;
	Line += ", decimated " + std::to_string(Source.Decimated);
	// Quoted, as a name may hold commas; two cameras in one editor are told apart by it.
	if (CameraSubject != nullptr)
	{
		Line += ", subject \"" + CameraSubject->Name + "\"";
	}
	Line += ", state " + Source.State.Text;
	if (CameraSubject != nullptr && !CameraSubject->bEnabled)
	{
		Line += ", subject disabled";
	}
	if (CameraSubject != nullptr && CameraSubject->Camera && CameraSubject->CineCamera)
	{
		Line += ", " + FormatCameraDisplay(*CameraSubject->Camera) + ", " + FormatCineCameraDisplay(*CameraSubject->CineCamera);
	}
	else
	{
		Line += ", Camera -, Cine Camera -";
	}
	// Last, as its text may hold commas of its own.
	if (!Take.LastError.empty())
	{
		Line += ", take error " + Take.LastError;
	}
	return Line;
}
