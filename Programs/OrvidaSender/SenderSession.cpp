#include "SenderSession.h"

#include "SenderImpairments.h"
#include "SenderMessageWriter.h"
#include "SenderPacer.h"
#include "SenderUdpSocket.h"

#include <algorithm>

namespace
{
std::chrono::nanoseconds FromSeconds(double Seconds) { return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::duration<double>(Seconds)); }
} // namespace

FSenderSession::FSenderSession(FSenderOptions InOptions, std::unique_ptr<ISenderFrameSource> InSource, ISenderClock& InClock)
    : Options(std::move(InOptions))
    , Source(std::move(InSource))
    , Socket(Options.MulticastTtl)
    , Clock(InClock)
{
}

FSenderProgress FSenderSession::GetProgress() const
{
	FSenderProgress Progress;
	Progress.Messages = MessageCount.load(std::memory_order_relaxed);
	Progress.Datagrams = DatagramCount.load(std::memory_order_relaxed);
	Progress.Scheduled = std::chrono::nanoseconds(ScheduledNanoseconds.load(std::memory_order_relaxed));
	Progress.PlannedMessages = PlannedMessages;
	return Progress;
}

FSenderSummary FSenderSession::Run()
{
	FSenderSummary Summary;
	if (!Socket.IsOpen())
	{
		Summary.Error = "cannot make a UDP socket: " + Socket.GetError();
		return Summary;
	}
	FSenderImpairments Impairments(Options.Impairments);
	FSenderPacer Pacer(Clock, Options.Speed);
	Pacer.Start();

	FSenderFrame Frame;
	while (!bStopRequested.load(std::memory_order_relaxed) && !(Options.Count && Summary.Messages >= *Options.Count) && Source->Next(Frame))
	{
		const std::chrono::nanoseconds ScheduleTime = Pacer.ScheduleOf(Frame.Offset);
		if (Options.DurationSeconds && ScheduleTime >= FromSeconds(*Options.DurationSeconds))
		{
			break;
		}
		FSenderImpairments::FOutcome Outcome = Impairments.Apply(MakeMessage(Frame, ScheduleTime));
		++Summary.Messages;
		// A dropped message waits too, so that a lossy stream keeps its pace. A stop during the wait still sends
		// what was decided, so that the counts stay true to what left.
		const bool bOnTime = Pacer.WaitUntil(ScheduleTime + Outcome.Delay, bStopRequested);
		for (const std::string& Datagram : Outcome.Datagrams)
		{
			SendToAll(Datagram, Summary);
		}
		MessageCount.store(Summary.Messages, std::memory_order_relaxed);
		ScheduledNanoseconds.store(ScheduleTime.count(), std::memory_order_relaxed);
		if (!bOnTime)
		{
			break;
		}
	}
	for (const std::string& Datagram : Impairments.Flush())
	{
		SendToAll(Datagram, Summary);
	}
	Summary.Impairments = Impairments.GetCounts();
	Summary.Elapsed = Pacer.Elapsed();
	Summary.bStopped = bStopRequested.load(std::memory_order_relaxed);
	return Summary;
}

std::string FSenderSession::MakeMessage(FSenderFrame& Frame, std::chrono::nanoseconds ScheduleTime) const
{
	if (std::string* const Payload = std::get_if<std::string>(&Frame.Content))
	{
		return std::move(*Payload);
	}
	FSenderCameraState& State = std::get<FSenderCameraState>(Frame.Content);
	State.Scene = Options.Scene.value_or(State.Scene);
	State.Slate = Options.Slate.value_or(State.Slate.empty() ? DefaultSlate : State.Slate);
	State.Take = Options.Take.value_or(State.Take.empty() ? DefaultTake : State.Take);
	const bool bRecordingPlanned = Options.RecordAfterSeconds || Options.StopAfterSeconds;
	const bool bRecording = bRecordingPlanned && ScheduleTime >= FromSeconds(Options.RecordAfterSeconds.value_or(0.0)) &&
	                        (!Options.StopAfterSeconds || ScheduleTime < FromSeconds(*Options.StopAfterSeconds));
	State.State = bRecording ? FSenderCameraState::RecordingState : FSenderCameraState::IdleState;
	return FSenderMessageWriter::Write(State);
}

void FSenderSession::SendToAll(const std::string& Datagram, FSenderSummary& Summary)
{
	for (const FSenderDestination& Destination : Options.Destinations)
	{
		++(Socket.Send(Datagram, Destination) ? Summary.Datagrams : Summary.SendErrors);
	}
	DatagramCount.store(Summary.Datagrams, std::memory_order_relaxed);
}
