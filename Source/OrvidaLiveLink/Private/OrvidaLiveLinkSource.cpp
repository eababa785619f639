#include "OrvidaLiveLinkSource.h"

#include "Async/Async.h"
#include "Common/UdpSocketBuilder.h"
#include "HAL/PlatformTime.h"
#include "HAL/RunnableThread.h"
#include "ILiveLinkClient.h"
#include "LiveLinkTypes.h"
#include "Misc/ScopeLock.h"
#include "OrvidaLiveLinkLog.h"
#include "OrvidaLiveLinkSourceCreation.h"
#include "OrvidaLiveLinkSourceSettings.h"
#include "OrvidaNarrowing.h"
#include "Roles/LiveLinkCameraRole.h"
#include "Roles/LiveLinkCameraTypes.h"
#include "SocketSubsystem.h"
#include "Sockets.h"
#include "Templates/Casts.h"

#include <chrono>
#include <limits>

#define LOCTEXT_NAMESPACE "OrvidaLiveLinkSource"

namespace OrvidaLiveLinkSource
{
// The largest datagram the system can deliver fits many times over; one buffer serves every receive.
constexpr int32 ReceiveBufferSize = 1024 * 1024;
// Bounds how long a stop request waits while no data comes.
constexpr double ReceiveWaitMilliseconds = 10.0;
constexpr uint32 ReceiverStackSize = 128 * 1024;

/**
 * True when a socket without address reuse cannot bind the endpoint: another socket holds its port. The source
 * binds with reuse all the same, and on Linux the socket bound last on a shared port takes every datagram, so
 * the other one may starve the source without a sign. On Windows SO_REUSEADDR lets a socket take a port that
 * another holds (unless that one used SO_EXCLUSIVEADDRUSE, and then the source's bind fails too), while a bind
 * without it fails there as well, so the probe answers alike. The probe and the source's bind are two steps: a
 * socket bound in between goes unnoticed.
 */
bool IsPortHeldByAnotherSocket(ISocketSubsystem& SocketSubsystem, const FIPv4Endpoint& Endpoint)
{
	// Not FUdpSocketBuilder: it writes an error line when the bind fails, and here that failure is the answer.
	// IPv4, as the builder asks for, so that the probe binds the same kind of socket the source does.
	FSocket* Probe = SocketSubsystem.CreateSocket(NAME_DGram, TEXT("OVD port probe"), FNetworkProtocolTypes::IPv4);
	if (Probe == nullptr)
	{
		return false;
	}
	const bool bHeld = Probe->SetReuseAddr(false) && !Probe->Bind(*Endpoint.ToInternetAddr());
	SocketSubsystem.DestroySocket(Probe);
	return bHeld;
}
} // namespace OrvidaLiveLinkSource

FOrvidaLiveLinkSource::FOrvidaLiveLinkSource(FIPv4Endpoint InEndpoint, bool bInAutoLens, bool bInAutoSceneTakeUpdate, bool bInAutoRecord,
                                             FIPv4Address InMulticastInterface, const FString& InSubjectName)
    : FOrvidaLiveLinkSource(InEndpoint, bInAutoLens, bInAutoSceneTakeUpdate, bInAutoRecord, FReceivedDataObserver(), FOrvidaSampleRing::FSteadyClock(),
                            InMulticastInterface, InSubjectName)
{
}

FOrvidaLiveLinkSource::FOrvidaLiveLinkSource(FIPv4Endpoint InEndpoint, bool bInAutoLens, bool bInAutoSceneTakeUpdate, bool bInAutoRecord,
                                             FReceivedDataObserver InReceivedDataObserver, FOrvidaSampleRing::FSteadyClock SteadyClock,
                                             FIPv4Address InMulticastInterface, const FString& InSubjectName)
    : Endpoint(InEndpoint)
    , MulticastInterface(InMulticastInterface)
    , BoundEndpoint(InEndpoint)
    , ReceiveWaitTime(FTimespan::FromMilliseconds(OrvidaLiveLinkSource::ReceiveWaitMilliseconds))
    , bAutoLens(bInAutoLens)
    , bAutoSceneTakeUpdate(bInAutoSceneTakeUpdate)
    , bAutoRecord(bInAutoRecord)
    , SubjectName(InSubjectName.IsEmpty() ? UOrvidaLiveLinkSourceSettings::DefaultSubjectName : *InSubjectName)
    , Decoder(bInAutoLens)
    , Ring(MoveTemp(SteadyClock))
    , TakeAutomation(bInAutoSceneTakeUpdate, bInAutoRecord)
    , ReceivedDataObserver(MoveTemp(InReceivedDataObserver))
{
	DeviceNotFoundText = LOCTEXT("SourceStatus_DeviceNotFound", "Device Not Found");
	WaitingForDataText = NameGroupIn(LOCTEXT("SourceStatus_WaitingForData", "Waiting for data"));
	ReceivingText = NameGroupIn(LOCTEXT("SourceStatus_Receiving", "Receiving"));
	SourceTypeText = LOCTEXT("OrvidaLiveLinkSourceType", "Vellacor Orvida LiveLink");
	MachineNameText = LOCTEXT("OrvidaLiveLinkSourceMachineName", "localhost");

	SocketSubsystem = ISocketSubsystem::Get(PLATFORM_SOCKETSUBSYSTEM);
	// The system hands each datagram sent to a group to every socket that shares its port and address, so on a
	// group another socket takes nothing from this one.
	const bool bPortHeld =
	    SocketSubsystem != nullptr && !Endpoint.Address.IsMulticastAddress() && OrvidaLiveLinkSource::IsPortHeldByAnotherSocket(*SocketSubsystem, Endpoint);

	Socket = BuildSocket();

	ReceiveBuffer.SetNumUninitialized(OrvidaLiveLinkSource::ReceiveBufferSize);

	if (Socket != nullptr && Socket->GetSocketType() == SOCKTYPE_Datagram)
	{
		BoundEndpoint.Port = uint16(Socket->GetPortNo());
		// Said only once the source shares the port: when its own bind failed too, the builder has said why.
		if (bPortHeld)
		{
			UE_LOG(ModuleLog, Warning, TEXT("Another socket already holds the port of %s: datagrams sent there may go to that socket instead of this source."),
			       *Endpoint.ToString());
		}
		Start();
	}
}

FSocket* FOrvidaLiveLinkSource::BuildSocket() const
{
	FUdpSocketBuilder Builder(TEXT("OVD"));
	Builder.AsNonBlocking()
	    .AsReusable()
	    .BoundToAddress(Endpoint.Address)
	    .BoundToPort(Endpoint.Port)
	    .WithReceiveBufferSize(OrvidaLiveLinkSource::ReceiveBufferSize);
	if (Endpoint.Address.IsMulticastAddress())
	{
		// Bound to the group, a socket on Linux and macOS takes only what is sent to that group: bound to every
		// address it would also take every other group that any socket of the machine joined on this port. Windows
		// refuses a bind to a group address and hands a socket only the groups that it joined itself.
#if PLATFORM_WINDOWS
		Builder.BoundToAddress(FIPv4Address::Any);
#endif
		// Named with the group and as the multicast interface, so that the join uses it whichever of the two the
		// engine's builder reads.
		Builder.WithMulticastInterface(MulticastInterface).JoinedToGroup(Endpoint.Address, MulticastInterface);
	}
	return Builder.Build();
}

FText FOrvidaLiveLinkSource::NameGroupIn(const FText& Words) const
{
	if (!Endpoint.Address.IsMulticastAddress())
	{
		return Words;
	}
	const FText Group = FText::FromString(Endpoint.Address.ToString());
	if (MulticastInterface == FIPv4Address::Any)
	{
		return FText::Format(LOCTEXT("SourceStatus_OnGroup", "{0} (group {1})"), Words, Group);
	}
	return FText::Format(LOCTEXT("SourceStatus_OnGroupAndInterface", "{0} (group {1} on {2})"), Words, Group, FText::FromString(MulticastInterface.ToString()));
}

FOrvidaLiveLinkSource::~FOrvidaLiveLinkSource()
{
	Stop();
	if (ReceiverThread != nullptr)
	{
		ReceiverThread->WaitForCompletion();
		delete ReceiverThread;
		ReceiverThread = nullptr;
	}
	// The tick notification has no lock, so only the game thread removes the registration.
	if (Client != nullptr)
	{
		Client->OnLiveLinkTicked().Remove(TickDelegateHandle);
	}
	if (Socket != nullptr)
	{
		Socket->Close();
		ISocketSubsystem::Get(PLATFORM_SOCKETSUBSYSTEM)->DestroySocket(Socket);
		Socket = nullptr;
	}
}

void FOrvidaLiveLinkSource::ReceiveClient(ILiveLinkClient* InClient, FGuid InSourceGuid)
{
	Client = InClient;
	SourceGuid = InSourceGuid;
	TickDelegateHandle = Client->OnLiveLinkTicked().AddStatic(&FOrvidaLiveLinkSource::OnLiveLinkTick, this);
}

bool FOrvidaLiveLinkSource::IsSourceStillValid() const { return !IsStopRequested() && ReceiverThread != nullptr && Socket != nullptr; }

bool FOrvidaLiveLinkSource::RequestSourceShutdown()
{
	Stop();
	return true;
}

FText FOrvidaLiveLinkSource::GetSourceType() const { return SourceTypeText; }

FText FOrvidaLiveLinkSource::GetSourceMachineName() const { return MachineNameText; }

FText FOrvidaLiveLinkSource::GetSourceStatus() const
{
	// Without a thread nothing receives, so the status must not claim otherwise.
	if (!CanReceive())
	{
		return DeviceNotFoundText;
	}
	return IsStreamSilent() ? WaitingForDataText : ReceivingText;
}

TSubclassOf<ULiveLinkSourceSettings> FOrvidaLiveLinkSource::GetSettingsClass() const { return UOrvidaLiveLinkSourceSettings::StaticClass(); }

void FOrvidaLiveLinkSource::InitializeSettings(ULiveLinkSourceSettings* Settings)
{
	UOrvidaLiveLinkSourceSettings* OrvidaSettings = Cast<UOrvidaLiveLinkSourceSettings>(Settings);
	if (OrvidaSettings == nullptr)
	{
		// A preset saved before the source had settings of its own: the source keeps what it was made with.
		return;
	}
	if (OrvidaSettings->SavedVersion > 0)
	{
		ApplySettings(*OrvidaSettings);
		return;
	}
	OrvidaSettings->SubjectName = SubjectName.ToString();
	OrvidaSettings->bAutoLens = bAutoLens.load(std::memory_order_relaxed);
	OrvidaSettings->bAutoSceneTakeUpdate = bAutoSceneTakeUpdate.load(std::memory_order_relaxed);
	OrvidaSettings->bAutoRecord = bAutoRecord.load(std::memory_order_relaxed);
	OrvidaSettings->SavedVersion = UOrvidaLiveLinkSourceSettings::CurrentVersion;
}

void FOrvidaLiveLinkSource::OnSettingsChanged(ULiveLinkSourceSettings* Settings, const FPropertyChangedEvent& PropertyChangedEvent)
{
	// Every value is taken, whichever property changed: they are few, and the event may name none.
	if (const UOrvidaLiveLinkSourceSettings* OrvidaSettings = Cast<UOrvidaLiveLinkSourceSettings>(Settings))
	{
		ApplySettings(*OrvidaSettings);
	}
}

void FOrvidaLiveLinkSource::ApplySettings(const UOrvidaLiveLinkSourceSettings& Settings)
{
	// Read as the creation panel reads its box, but a blank name keeps the one the source has.
	const FName NewSubjectName(*OrvidaLiveLinkSourceCreation::ResolveSubjectName(Settings.SubjectName, SubjectName.ToString()));
	if (NewSubjectName != SubjectName)
	{
		// The subject under the old name would stay enabled, frozen on its last frame, and keep that name from others.
		if (Client != nullptr)
		{
			Client->RemoveSubject_AnyThread(FLiveLinkSubjectKey(SourceGuid, SubjectName));
		}
		SubjectName = NewSubjectName;
		bStaticDataPending = true;
	}
	// The static data claims the lens only under "Auto Lens Update", so a change of it is told to the client.
	if (bAutoLens.exchange(Settings.bAutoLens, std::memory_order_relaxed) != Settings.bAutoLens)
	{
		bStaticDataPending = true;
	}
	bAutoSceneTakeUpdate.store(Settings.bAutoSceneTakeUpdate, std::memory_order_relaxed);
	bAutoRecord.store(Settings.bAutoRecord, std::memory_order_relaxed);
}

bool FOrvidaLiveLinkSource::Init() { return true; }

uint32 FOrvidaLiveLinkSource::Run()
{
	// Every receive writes the sender's address here; datagrams are taken from any sender, which only the stream
	// health and the tap look at.
	const TSharedRef<FInternetAddr> Sender = SocketSubsystem->CreateInternetAddr();
	while (!IsStopRequested())
	{
		if (!Socket->Wait(ESocketWaitConditions::WaitForRead, ReceiveWaitTime))
		{
			continue;
		}
		// Checking the stop between datagrams keeps a sender that never lets the socket drain from holding up
		// shut-down; what is still queued then goes with the socket. The receive itself says when the queue is
		// empty (no bytes, or a failure), so no pending-data peek is spent per datagram. An empty datagram also
		// reads as no bytes: it is consumed all the same, and the wait returns at once for what queued behind it.
		while (!IsStopRequested())
		{
			int32 BytesRead = 0;
			if (!Socket->RecvFrom(ReceiveBuffer.GetData(), ReceiveBuffer.Num(), BytesRead, *Sender) || BytesRead <= 0)
			{
				break;
			}
			uint32 SenderIp = 0;
			Sender->GetIp(SenderIp);
			const FIPv4Endpoint SenderEndpoint(FIPv4Address(SenderIp), uint16(Sender->GetPort()));
			// Before the decode, so that once a sample is in the ring the tick never takes its stream for silent.
			StreamHealth.RecordDatagram(BytesRead, SenderEndpoint, Ring.GetSteadyNanoseconds());
			const TSharedPtr<TArray<uint8>, ESPMode::ThreadSafe> ReceivedData =
			    MakeShared<TArray<uint8>, ESPMode::ThreadSafe>(ReceiveBuffer.GetData(), BytesRead);
			CallDatagramTap(ReceivedData, SenderEndpoint);
			if (ReceivedDataObserver)
			{
				ReceivedDataObserver(ReceivedData);
			}
			ProcessReceivedData(ReceivedData);
		}
	}
	return 0;
}

void FOrvidaLiveLinkSource::Stop() { FPlatformAtomics::InterlockedExchange(&StopFlag, 1); }

void FOrvidaLiveLinkSource::Exit() {}

void FOrvidaLiveLinkSource::Start()
{
	ReceiverThreadName = TEXT("Vellacor Orvida Link");
	ReceiverThreadName.AppendInt(FAsyncThreadIndex::GetNext());
	// The arguments after the priority keep their defaults: their number and types differ between engine versions.
	ReceiverThread = FRunnableThread::Create(this, *ReceiverThreadName, OrvidaLiveLinkSource::ReceiverStackSize, TPri_AboveNormal);
}

bool FOrvidaLiveLinkSource::ProcessReceivedData(TSharedPtr<TArray<uint8>, ESPMode::ThreadSafe> ReceivedData)
{
	if (ReceivedData.IsValid())
	{
		Decoder.SetAutoLens(bAutoLens.load(std::memory_order_relaxed));
		const FOrvidaCameraMessageDecoder::FOutcome Outcome = Decoder.Decode(ReceivedData->GetData(), ReceivedData->Num(),
		                                                                     [this](FOrvidaCameraSample&& Sample)
		                                                                     {
			                                                                     StreamHealth.RecordTimecode(Sample.Timecode);
			                                                                     Ring.CommitSample(MoveTemp(Sample));
		                                                                     });
		StreamHealth.RecordDecode(Outcome);
	}
	return false;
}

void FOrvidaLiveLinkSource::SetDatagramTap(FDatagramTap InDatagramTap)
{
	// The replaced tap is destroyed after the lock is let go, so that the receiver does not wait on that too.
	FDatagramTap Replaced;
	FScopeLock Lock(&DatagramTapLock);
	Replaced = MoveTemp(DatagramTap);
	DatagramTap = MoveTemp(InDatagramTap);
	bHasDatagramTap.store(bool(DatagramTap), std::memory_order_relaxed);
}

void FOrvidaLiveLinkSource::CallDatagramTap(const TSharedPtr<TArray<uint8>, ESPMode::ThreadSafe>& Datagram, const FIPv4Endpoint& Sender)
{
	// The flag only spares the lock; the tap itself is read under it.
	if (!bHasDatagramTap.load(std::memory_order_relaxed))
	{
		return;
	}
	// The system clock counts from the Unix epoch with every standard library the engine builds with (C++20
	// makes it a rule). Captures are stamped in wall time so that they line up with other recordings of the stage.
	const int64 ArrivalUnixNanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch()).count();
	FScopeLock Lock(&DatagramTapLock);
	if (DatagramTap)
	{
		DatagramTap(Datagram, Sender, ArrivalUnixNanoseconds, BoundEndpoint);
	}
}

void FOrvidaLiveLinkSource::HandleReceivedData(TSharedPtr<TArray<uint8>, ESPMode::ThreadSafe> ReceivedData) {}

bool FOrvidaLiveLinkSource::LiveLinkTick()
{
	// The client may tick a source it has asked to shut down until it releases it; the user has ended the link.
	if (IsStopRequested())
	{
		return false;
	}
	// The client enables a subject only while no enabled one has its name, so a source that cannot receive must
	// not take the name from a later one that can.
	if (!CanReceive())
	{
		return false;
	}
	// Before the clock step, so that the subject reaches the client before any message has.
	if (bStaticDataPending)
	{
		PushStaticData();
	}
	// The ring is left alone too: its clock catches up on the next step, and a silent stream is no underrun.
	if (IsStreamSilent())
	{
		return false;
	}

	FOrvidaCameraSample Due;
	if (!Ring.StepPlayoutClock(Due))
	{
		return false;
	}

	FLiveLinkFrameDataStruct FrameData(FLiveLinkCameraFrameData::StaticStruct());
	FLiveLinkCameraFrameData* Frame = FrameData.Cast<FLiveLinkCameraFrameData>();
	if (Frame == nullptr)
	{
		return true;
	}
	using OrvidaLiveLink::ToEngineReal;
	Frame->Transform =
	    FTransform(FQuat(ToEngineReal(Due.Rotation[0]), ToEngineReal(Due.Rotation[1]), ToEngineReal(Due.Rotation[2]), ToEngineReal(Due.Rotation[3])),
	               FVector(ToEngineReal(Due.Location[0]), ToEngineReal(Due.Location[1]), ToEngineReal(Due.Location[2])),
	               FVector(ToEngineReal(Due.Scale[0]), ToEngineReal(Due.Scale[1]), ToEngineReal(Due.Scale[2])));
	const double WorldTime = FPlatformTime::Seconds();
	Frame->WorldTime = FLiveLinkWorldTime(WorldTime, FPlatformTime::Seconds() - WorldTime);
	Ring.UpdatePlayoutRate();
	// The scene time is the due sample's own; with a rate Live Link cannot use it keeps the structure's default.
	if (FOrvidaSampleRing::IsUsableFrameRate(Due.Timecode[1], Due.Timecode[2]))
	{
		Frame->MetaData.SceneTime = FQualifiedFrameTime(FFrameTime(FFrameNumber(Due.Timecode[0]), Ring.GetPlayoutSubframe()),
		                                                FFrameRate(uint32(Due.Timecode[1]), uint32(Due.Timecode[2])));
	}
	if (bAutoLens.load(std::memory_order_relaxed))
	{
		Frame->FieldOfView = OrvidaLiveLink::NarrowToSingle(Due.Lens[3]);
		Frame->AspectRatio = OrvidaLiveLink::NarrowToSingle(Due.Lens[2]);
		Frame->FocusDistance = OrvidaLiveLink::NarrowToSingle(Due.Lens[1]);
	}
	const bool bAutoSceneTakeUpdateNow = bAutoSceneTakeUpdate.load(std::memory_order_relaxed);
	const bool bAutoRecordNow = bAutoRecord.load(std::memory_order_relaxed);
	if (bAutoSceneTakeUpdateNow || bAutoRecordNow)
	{
		TakeAutomation.SetOptions(bAutoSceneTakeUpdateNow, bAutoRecordNow);
		TakeAutomation.Run(Due);
		LastCameraTake = FCameraTake{true, Due.Metadata[1], Due.Metadata[2], Due.State == FOrvidaTakeAutomation::RecordingState};
	}
	Client->PushSubjectFrameData_AnyThread(FLiveLinkSubjectKey(SourceGuid, SubjectName), MoveTemp(FrameData));
	PublishLatencyMilliseconds = double(Ring.GetSteadyNanoseconds() - Ring.GetDueCommitNanoseconds()) / 1.0e6;
	return true;
}

void FOrvidaLiveLinkSource::PushStaticData()
{
	FLiveLinkStaticDataStruct StaticData(FLiveLinkCameraStaticData::StaticStruct());
	FLiveLinkCameraStaticData* Camera = StaticData.Cast<FLiveLinkCameraStaticData>();
	if (Camera == nullptr)
	{
		// Tried again on the next pass.
		return;
	}
	Camera->bIsLocationSupported = true;
	Camera->bIsRotationSupported = true;
	Camera->bIsScaleSupported = false;
	// The engine's camera controller applies every claimed lens value to the user's camera each tick, and a value
	// no frame writes is the structure's default: a focal length claim would hold every Cine Camera at 50 mm and
	// override the streamed field of view. So only what the frames carry is claimed, and without "Auto Lens
	// Update" nothing of the lens, which leaves the camera's own lens alone.
	const bool bClaimsLens = bAutoLens.load(std::memory_order_relaxed);
	Camera->bIsFieldOfViewSupported = bClaimsLens;
	Camera->bIsAspectRatioSupported = bClaimsLens;
	Camera->bIsFocalLengthSupported = false;
	Camera->bIsProjectionModeSupported = false;
	Camera->bIsApertureSupported = false;
	Camera->bIsFocusDistanceSupported = bClaimsLens;
	Client->PushSubjectStaticData_AnyThread(FLiveLinkSubjectKey(SourceGuid, SubjectName), ULiveLinkCameraRole::StaticClass(), MoveTemp(StaticData));
	bStaticDataPending = false;
}

void FOrvidaLiveLinkSource::OnLiveLinkTick(FOrvidaLiveLinkSource* Source) { Source->LiveLinkTick(); }

bool FOrvidaLiveLinkSource::IsStreamSilent() const
{
	const int64 LastArrival = StreamHealth.GetLastArrivalNanoseconds();
	// Tested first: now minus the lowest int64 would overflow.
	return LastArrival == std::numeric_limits<int64>::min() || Ring.GetSteadyNanoseconds() - LastArrival >= SilenceNanoseconds;
}

bool FOrvidaLiveLinkSource::IsStopRequested() const
{
	// A compare-exchange of 0 for 0: a read with a full barrier.
	return FPlatformAtomics::InterlockedCompareExchange(const_cast<volatile int32*>(&StopFlag), 0, 0) != 0;
}

#undef LOCTEXT_NAMESPACE
