#pragma once

#include "CoreMinimal.h"
#include "HAL/Runnable.h"
#include "ILiveLinkSource.h"
#include "Interfaces/IPv4/IPv4Endpoint.h"

class FRunnableThread;
class FSocket;
class ILiveLinkClient;
class ISocketSubsystem;

/**
 * The Live Link source for one link to the Orvida camera application: a UDP socket bound to the endpoint the
 * user chose and a receiver thread that hands every datagram to the decoder.
 *
 * Threads: the game thread runs the constructor, ReceiveClient, the ILiveLinkSource queries,
 * RequestSourceShutdown, the tick and the destructor. The receiver thread runs Run: the socket wait and
 * receives, ProcessReceivedData for each datagram and, at the end, the removal of the tick registration.
 * StopFlag is the only value both use without a lock. Client and TickDelegateHandle are written by
 * ReceiveClient before a stop is requested and read by the receiver only once it has seen the stop.
 */
class ORVIDALIVELINK_API FOrvidaLiveLinkSource : public ILiveLinkSource, public FRunnable
{
public:
	/**
	 * Binds the socket and, when that works, starts the receiver thread. When the socket cannot be made or the
	 * thread cannot be started, the source stays "Device Not Found" and reports itself not valid.
	 */
	FOrvidaLiveLinkSource(FIPv4Endpoint Endpoint, bool bAutoLens, bool bAutoSceneTakeUpdate, bool bAutoRecord);
	/** Stops and waits for the receiver, removes the tick registration if still there, closes the socket. */
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
	virtual FText GetSourceStatus() const override;

	// FRunnable
	virtual bool Init() override;
	/** The receive loop; returns 0 once a stop was requested and no datagram is being handed on. */
	virtual uint32 Run() override;
	/** Requests the stop; safe from any thread, any number of times. */
	virtual void Stop() override;
	virtual void Exit() override;

	/** Names and creates the receiver thread; only the constructor calls it. */
	void Start();

	/** Takes one datagram's bytes on the receiver thread; the result tells whether they were taken. */
	bool ProcessReceivedData(TSharedPtr<TArray<uint8>, ESPMode::ThreadSafe> ReceivedData);
	/** Takes a datagram's bytes and does nothing with them; nothing in the module calls it. */
	void HandleReceivedData(TSharedPtr<TArray<uint8>, ESPMode::ThreadSafe> ReceivedData);

	/** The publishing pass of one client tick; true when a frame was pushed. */
	bool LiveLinkTick();
	/** What ReceiveClient registers on the client's tick notification; Source is never null. */
	static void OnLiveLinkTick(FOrvidaLiveLinkSource* Source);

	/** "Vellacor Orvida Link" and a running number once Start has run; empty before. */
	const FString& GetReceiverThreadName() const { return ReceiverThreadName; }

private:
	/** Tests and benchmarks that watch the receive path construct sources through it. */
	friend class FOrvidaLiveLinkSourceTestAccess;

	/** Sees every datagram that Run hands on, on the receiver thread, before the decoder does. */
	using FReceivedDataObserver = TFunction<void(const TSharedPtr<TArray<uint8>, ESPMode::ThreadSafe>&)>;

	/** The observer is in place before the receiver thread starts. */
	FOrvidaLiveLinkSource(FIPv4Endpoint Endpoint, bool bAutoLens, bool bAutoSceneTakeUpdate, bool bAutoRecord, FReceivedDataObserver InReceivedDataObserver);

	bool IsStopRequested() const;
	void RemoveTickRegistration();

	ILiveLinkClient* Client = nullptr;
	FDelegateHandle TickDelegateHandle;
	FGuid SourceGuid;

	FText SourceTypeText;
	FText MachineNameText;
	FText StatusText;

	FIPv4Endpoint Endpoint;
	FSocket* Socket = nullptr;
	ISocketSubsystem* SocketSubsystem = nullptr;
	/** 1 once a stop was requested; never goes back to 0. Read and written only atomically. */
	volatile int32 StopFlag = 0;
	FRunnableThread* ReceiverThread = nullptr;
	FString ReceiverThreadName;
	FTimespan ReceiveWaitTime;
	/** Every datagram is received here; used by the receiver thread alone. */
	TArray<uint8> ReceiveBuffer;

	bool bAutoLens;
	bool bAutoSceneTakeUpdate;
	bool bAutoRecord;

	FReceivedDataObserver ReceivedDataObserver;
};
