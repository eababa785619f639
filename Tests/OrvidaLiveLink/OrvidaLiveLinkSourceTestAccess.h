#pragma once

#include "HAL/RunnableThread.h"
#include "OrvidaLiveLinkSource.h"
#include "StandIn/SocketCallCounts.h"

#include <memory>
#include <mutex>
#include <vector>

/** Every datagram a source handed on, in order. Written on the receiver thread, read on the test thread. */
class FDatagramLog
{
public:
	void Add(const TArray<uint8>& Datagram)
	{
		std::lock_guard<std::mutex> Guard(Lock);
		Datagrams.emplace_back(Datagram.begin(), Datagram.end());
	}
	size_t Num() const
	{
		std::lock_guard<std::mutex> Guard(Lock);
		return Datagrams.size();
	}
	std::vector<std::vector<uint8>> Get() const
	{
		std::lock_guard<std::mutex> Guard(Lock);
		return Datagrams;
	}

private:
	/** Protects Datagrams. */
	mutable std::mutex Lock;
	std::vector<std::vector<uint8>> Datagrams;
};

/** Builds sources whose receive path a test can watch. */
class FOrvidaLiveLinkSourceTestAccess
{
public:
	using FObserver = FOrvidaLiveLinkSource::FReceivedDataObserver;

	static TSharedPtr<FOrvidaLiveLinkSource> MakeObserved(const FIPv4Endpoint& Endpoint, FObserver Observer)
	{
		return TSharedPtr<FOrvidaLiveLinkSource>(
		    new FOrvidaLiveLinkSource(Endpoint, false, true, false, MoveTemp(Observer), FOrvidaSampleRing::FSteadyClock()));
	}

	/** A source with the given options whose playout clock reads SteadyClock. */
	static TSharedPtr<FOrvidaLiveLinkSource> MakeClocked(const FIPv4Endpoint& Endpoint, bool bAutoLens, bool bAutoSceneTakeUpdate, bool bAutoRecord,
	                                                     FOrvidaSampleRing::FSteadyClock SteadyClock)
	{
		return TSharedPtr<FOrvidaLiveLinkSource>(
		    new FOrvidaLiveLinkSource(Endpoint, bAutoLens, bAutoSceneTakeUpdate, bAutoRecord, FObserver(), MoveTemp(SteadyClock)));
	}

	/**
	 * Stamps a datagram's arrival now, on the source's clock, as the receiver does: for samples a test commits
	 * straight into the ring, which the tick publishes only while datagrams arrive.
	 */
	static void MarkDatagramArrival(FOrvidaLiveLinkSource& Source)
	{
		Source.StreamHealth.LastArrivalNanoseconds.store(Source.Ring.GetSteadyNanoseconds(), std::memory_order_relaxed);
	}

	/** The Wait calls begun on the source's socket so far; the source must have bound it. */
	static int64 GetSocketWaitCalls(const FOrvidaLiveLinkSource& Source) { return FStandInSocketCallCounts::GetWaitCallCount(*Source.Socket); }

	/** Returns once the receive loop has returned; the source must have a receiver thread. */
	static void WaitForReceiver(FOrvidaLiveLinkSource& Source) { Source.ReceiverThread->WaitForCompletion(); }

	/** A source that appends every datagram it hands on to Log. */
	static TSharedPtr<FOrvidaLiveLinkSource> MakeLogged(const FIPv4Endpoint& Endpoint, std::shared_ptr<FDatagramLog> Log)
	{
		return MakeObserved(Endpoint, [Log](const TSharedPtr<TArray<uint8>, ESPMode::ThreadSafe>& Data) { Log->Add(*Data); });
	}
};
