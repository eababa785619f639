#pragma once

#include "CoreMinimal.h"
#include "HAL/CriticalSection.h"
#include "HAL/Runnable.h"
#include "ILiveLinkSource.h"
#include "Interfaces/IPv4/IPv4Endpoint.h"
#include "OrvidaCameraMessageDecoder.h"
#include "OrvidaLiveLinkConnectionSettings.h"
#include "OrvidaSampleRing.h"
#include "OrvidaStreamHealth.h"
#include "OrvidaTakeAutomation.h"

#include <atomic>

class FRunnableThread;
class FSocket;
class ILiveLinkClient;
class ISocketSubsystem;

/**
 * The Live Link source for one link to the Orvida camera application: a UDP socket bound to the endpoint the
 * user chose and a receiver thread that hands every datagram to the decoder.
 *
 * Threads: the game thread runs the constructor, ReceiveClient, the ILiveLinkSource queries (GetSourceStatus
 * among them), RequestSourceShutdown, the tick and the destructor, and alone touches the client's tick
 * notification, which has no lock. The receiver thread runs Run: the socket wait and receives, the stream
 * health's records, the datagram tap, and ProcessReceivedData for each datagram (which commits into the ring).
 * Any thread may call GetStreamHealth and SetDatagramTap. Besides StopFlag, the threads share the ring (its own
 * lock), the stream health (relaxed atomics that only the receiver writes) and the tap (DatagramTapLock). The
 * tick and the status read the last datagram's arrival from the stream health, which the receiver records before
 * it decodes the datagram; it hands over nothing but itself, as the samples cross in the ring.
 *
 * Settings: InitializeSettings and OnSettingsChanged run on the game thread, which alone reads and writes the
 * subject name. The three options are read by both threads, the receiver when it decodes and the game thread
 * when it publishes, so each is an atomic of its own, written only by the game thread; no lock, since no reader
 * needs two of them to agree: a change reaches the decoder from the next datagram and the publishing pass from
 * the next tick.
 */
class ORVIDALIVELINK_API FOrvidaLiveLinkSource : public ILiveLinkSource, public FRunnable
{
public:
	/**
	 * Binds the socket and, when that works, starts the receiver thread. When the socket cannot be made or the
	 * thread cannot be started, the source stays "Device Not Found", reports itself not valid and never pushes
	 * anything. When another socket already held the endpoint's port and the source bound it all the same, it
	 * logs one Warning. An endpoint on a multicast group joins that group on MulticastInterface (0.0.0.0: the
	 * interface the system picks) and receives only what is sent to the group and the port; for any other endpoint
	 * MulticastInterface plays no part. Every push names SubjectName (as given; empty:
	 * UOrvidaLiveLinkSourceSettings::DefaultSubjectName) until settings give another.
	 */
	FOrvidaLiveLinkSource(FIPv4Endpoint Endpoint, bool bAutoLens, bool bAutoSceneTakeUpdate, bool bAutoRecord,
	                      FIPv4Address MulticastInterface = FIPv4Address::Any, const FString& SubjectName = FString());
	/** Stops and waits for the receiver, removes the tick registration, closes the socket. */
	virtual ~FOrvidaLiveLinkSource();

	// ILiveLinkSource
	/** Keeps the client and the guid and registers OnLiveLinkTick on the client's tick notification. */
	virtual void ReceiveClient(ILiveLinkClient* InClient, FGuid InSourceGuid) override;
	/** True while no stop was requested and both the socket and the receiver thread exist. */
	virtual bool IsSourceStillValid() const override;
	/** Requests the stop and answers true at once; it neither waits for the thread nor closes the socket. */
	virtual bool RequestSourceShutdown() override;
	virtual FText GetSourceType() const override;
	virtual FText GetSourceMachineName() const override;
	/**
	 * "Device Not Found" when the source cannot receive; "Receiving" while datagrams arrive; "Waiting for data"
	 * before the first one and once the stream has been silent for SilenceNanoseconds. On a multicast group the
	 * last two name it: "Receiving (group 239.1.2.3)", with " on" and the interface's address when one was named.
	 */
	virtual FText GetSourceStatus() const override;
	/** UOrvidaLiveLinkSourceSettings. */
	virtual TSubclassOf<ULiveLinkSourceSettings> GetSettingsClass() const override;
	/**
	 * Settings that hold a source's values (a preset's copy) give the source their subject name and options;
	 * settings that hold none get the source's own written into them, so that the panel shows them and a preset
	 * saves them. Settings of another class, or null, change nothing.
	 */
	virtual void InitializeSettings(ULiveLinkSourceSettings* Settings) override;
	/** Takes the subject name and the options from the settings, as InitializeSettings does from a preset. */
	virtual void OnSettingsChanged(ULiveLinkSourceSettings* Settings, const FPropertyChangedEvent& PropertyChangedEvent) override;

	// FRunnable
	virtual bool Init() override;
	/** The receive loop; returns 0 once a stop was requested and no datagram is being handed on. */
	virtual uint32 Run() override;
	/** Requests the stop; safe from any thread, any number of times. */
	virtual void Stop() override;
	virtual void Exit() override;

	/** Names and creates the receiver thread; only the constructor calls it. */
	void Start();

	/** Decodes one datagram on the receiver thread and commits its sample, if any, into the ring. Always false. */
	bool ProcessReceivedData(TSharedPtr<TArray<uint8>, ESPMode::ThreadSafe> ReceivedData);
	/** Takes a datagram's bytes and does nothing with them; nothing in the module calls it. */
	void HandleReceivedData(TSharedPtr<TArray<uint8>, ESPMode::ThreadSafe> ReceivedData);

	/**
	 * The publishing pass of one client tick, on the game thread: the camera subject's static data once, then
	 * the due sample as a camera frame, with the take automation the options ask for. A source that cannot
	 * receive publishes nothing, nor does one once a stop was requested; while the stream is silent (no datagram
	 * yet, or none for SilenceNanoseconds) the pass publishes no frame and leaves the ring alone. False when it
	 * published no frame.
	 */
	bool LiveLinkTick();

	/**
	 * How long the stream may go without a datagram before the source stops publishing frames, on the ring's
	 * clock. The editor shows a subject as live while a frame came in the last 0.5 s, so a source that stops
	 * pushing after the same time lets the editor show the stream as stopped, not a camera frozen on its last frame.
	 */
	static constexpr int64 SilenceNanoseconds = 500 * 1000 * 1000;
	/** What ReceiveClient registers on the client's tick notification; Source is never null. */
	static void OnLiveLinkTick(FOrvidaLiveLinkSource* Source);

	/**
	 * Sees each datagram the receiver hands on, on the receiver thread, before the decoder: its bytes (never null;
	 * the tap may keep a reference but must not change them), the sender's address, the arrival time in
	 * nanoseconds since the Unix epoch by the system clock, and the source's bound endpoint (with the port the
	 * system picked when it was asked for 0). It holds up the receiver while it runs, so it should only queue
	 * what it is given.
	 */
	using FDatagramTap = TFunction<void(const TSharedPtr<TArray<uint8>, ESPMode::ThreadSafe>& Datagram, const FIPv4Endpoint& Sender,
	                                    int64 ArrivalUnixNanoseconds, const FIPv4Endpoint& SourceEndpoint)>;

	/**
	 * Sets the tap, or clears it with an empty function; any thread, also while the receiver runs. Once a call
	 * returns, the tap it replaced is never called again: a call that finds the receiver inside the old tap waits
	 * for it to return. So the tap must not call SetDatagramTap nor wait for a thread that may be setting it.
	 * Datagrams arriving while the tap is being set may or may not reach the new one.
	 */
	void SetDatagramTap(FDatagramTap InDatagramTap);

	/** The stream's figures now, with the ring's counts; any thread. */
	FOrvidaStreamHealth::FSnapshot GetStreamHealth() const { return StreamHealth.GetSnapshot(Ring); }

	/** "Vellacor Orvida Link" and a running number once Start has run; empty before. */
	const FString& GetReceiverThreadName() const { return ReceiverThreadName; }
	/** The endpoint, which never changes, and the options now; any thread. */
	FOrvidaLiveLinkConnectionSettings GetConnectionSettings() const
	{
		return FOrvidaLiveLinkConnectionSettings{Endpoint, bAutoLens.load(std::memory_order_relaxed), bAutoSceneTakeUpdate.load(std::memory_order_relaxed),
		                                         bAutoRecord.load(std::memory_order_relaxed), MulticastInterface};
	}
	/** The subject the source publishes now. Game thread. */
	const FName& GetSubjectName() const { return SubjectName; }
	/**
	 * Where the socket is bound: the endpoint asked for, with the port the system picked when that was 0; the
	 * endpoint asked for when no socket could be made.
	 */
	const FIPv4Endpoint& GetBoundEndpoint() const { return BoundEndpoint; }
	/** The samples between the receiver and the publisher, with the playout clock. */
	FOrvidaSampleRing& GetSampleRing() { return Ring; }

	/**
	 * The take as the camera application spoke of it in the last sample published: its slate, its take number as
	 * the text it sent, and whether it said it records. The decoder reads these only for a source with Auto
	 * Scene/Take or Auto Record (bRead false otherwise, as before the first sample). Game thread.
	 */
	struct FCameraTake
	{
		bool bRead = false;
		FString Slate;
		FString TakeNumber;
		bool bRecording = false;
	};
	const FCameraTake& GetLastCameraTake() const { return LastCameraTake; }
	/**
	 * How long the frame last published waited in the source, from the ring taking in its sample to the push to
	 * the client, in milliseconds; negative before the first. Game thread.
	 */
	double GetPublishLatencyMilliseconds() const { return PublishLatencyMilliseconds; }

private:
	/** Tests and benchmarks that watch the receive path construct sources through it. */
	friend class FOrvidaLiveLinkSourceTestAccess;

	/** Sees every datagram that Run hands on, on the receiver thread, before the decoder does. */
	using FReceivedDataObserver = TFunction<void(const TSharedPtr<TArray<uint8>, ESPMode::ThreadSafe>&)>;

	/** The observer is in place before the receiver thread starts; the ring's clock is SteadyClock (null: the system's). */
	FOrvidaLiveLinkSource(FIPv4Endpoint Endpoint, bool bAutoLens, bool bAutoSceneTakeUpdate, bool bAutoRecord, FReceivedDataObserver InReceivedDataObserver,
	                      FOrvidaSampleRing::FSteadyClock SteadyClock, FIPv4Address MulticastInterface = FIPv4Address::Any,
	                      const FString& SubjectName = FString());

	/** The socket for Endpoint, joined to its group when it is one; null when the builder refused (it logs why). */
	FSocket* BuildSocket() const;
	/** The status words with the group named, for an endpoint on a multicast group; Words unchanged for any other. */
	FText NameGroupIn(const FText& Words) const;

	bool IsStopRequested() const;
	/** Whether the socket is bound and the receiver thread runs; both are made in the constructor and stay. */
	bool CanReceive() const { return Socket != nullptr && ReceiverThread != nullptr; }
	/** Game thread: whether no datagram has arrived yet, or none for SilenceNanoseconds on the ring's clock. */
	bool IsStreamSilent() const;
	/** Receiver thread: hands Datagram to the tap, when one is set. */
	void CallDatagramTap(const TSharedPtr<TArray<uint8>, ESPMode::ThreadSafe>& Datagram, const FIPv4Endpoint& Sender);
	/** Game thread: takes the subject name and the options from Settings; a new name or lens option pushes the static data again. */
	void ApplySettings(const class UOrvidaLiveLinkSourceSettings& Settings);
	/** Pushes the camera static data; leaves bStaticDataPending set when the structure cannot be made. */
	void PushStaticData();

	ILiveLinkClient* Client = nullptr;
	FDelegateHandle TickDelegateHandle;
	FGuid SourceGuid;

	FText SourceTypeText;
	FText MachineNameText;
	FText DeviceNotFoundText;
	FText WaitingForDataText;
	FText ReceivingText;

	FIPv4Endpoint Endpoint;
	FIPv4Address MulticastInterface;
	/** Set by the constructor, never changed after. */
	FIPv4Endpoint BoundEndpoint;
	FSocket* Socket = nullptr;
	ISocketSubsystem* SocketSubsystem = nullptr;
	/** 1 once a stop was requested; never goes back to 0. Read and written only atomically. */
	volatile int32 StopFlag = 0;
	FRunnableThread* ReceiverThread = nullptr;
	FString ReceiverThreadName;
	FTimespan ReceiveWaitTime;
	/** Every datagram is received here; used by the receiver thread alone. */
	TArray<uint8> ReceiveBuffer;

	/** Written by the game thread, read by both (see the class comment). */
	std::atomic<bool> bAutoLens;
	std::atomic<bool> bAutoSceneTakeUpdate;
	std::atomic<bool> bAutoRecord;
	/** The subject every push names; game thread. */
	FName SubjectName;

	FOrvidaCameraMessageDecoder Decoder;
	FOrvidaSampleRing Ring;
	/** Set until the camera static data has been pushed; the publishing pass alone touches it. */
	bool bStaticDataPending = true;
	FOrvidaTakeAutomation TakeAutomation;
	/** The publishing pass alone writes these. */
	FCameraTake LastCameraTake;
	double PublishLatencyMilliseconds = -1.0;
	FReceivedDataObserver ReceivedDataObserver;
	FOrvidaStreamHealth StreamHealth;

	/** Guards DatagramTap: SetDatagramTap holds it to swap the tap, the receiver while it calls the tap. */
	FCriticalSection DatagramTapLock;
	FDatagramTap DatagramTap;
	/** Whether DatagramTap is set, so that without a tap the receiver takes no lock; written under the lock. */
	std::atomic<bool> bHasDatagramTap{false};
};
