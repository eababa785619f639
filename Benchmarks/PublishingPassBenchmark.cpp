// One publishing pass with a due frame (clock step, frame fill, push into a real Live Link client) beside the
// cost of copying one sample, which every pass does at least once, and beside the hand-over that the client's
// interface asks of every pass: a frame struct on the heap, filled, then shared into the client's history.

#include "BenchmarkRatios.h"
#include "HAL/PlatformTime.h"
#include "LoopbackUdp.h"
#include "OrvidaLiveLinkSourceTestAccess.h"
#include "Roles/LiveLinkCameraTypes.h"
#include "StandIn/LiveLinkClient.h"
#include "StandIn/StandInClock.h"

#include <benchmark/benchmark.h>

namespace
{
FOrvidaCameraSample TypicalSample()
{
	FOrvidaCameraSample Sample;
	Sample.Location[0] = 100.5f;
	Sample.Rotation[3] = 1.0f;
	Sample.Scale[0] = Sample.Scale[1] = Sample.Scale[2] = 1.0f;
	Sample.Lens[1] = 250.0;
	Sample.Lens[2] = 1.777;
	Sample.Lens[3] = 54.4;
	Sample.Timecode[0] = 86400;
	Sample.Timecode[1] = 25;
	Sample.Timecode[2] = 1;
	Sample.Metadata[0] = TEXT("Scene 4");
	Sample.Metadata[1] = TEXT("A004");
	Sample.Metadata[2] = TEXT("12");
	Sample.State = 2;
	return Sample;
}

void BM_CopySample(benchmark::State& State)
{
	const FOrvidaCameraSample Sample = TypicalSample();
	FOrvidaCameraSample Copy;
	for (auto _ : State)
	{
		Copy = Sample;
		benchmark::DoNotOptimize(Copy);
		benchmark::ClobberMemory();
	}
	State.SetItemsProcessed(State.iterations());
}

void BM_FrameHandOver(benchmark::State& State)
{
	const FOrvidaCameraSample Sample = TypicalSample();
	for (auto _ : State)
	{
		FLiveLinkFrameDataStruct FrameData(FLiveLinkCameraFrameData::StaticStruct());
		FLiveLinkCameraFrameData& Frame = *FrameData.Cast<FLiveLinkCameraFrameData>();
		Frame.Transform.SetTranslation(FVector(Sample.Location[0], Sample.Location[1], Sample.Location[2]));
		Frame.FocalLength = float(Sample.Lens[0]);
		TSharedPtr<const FLiveLinkFrameDataStruct> Stored = MakeShared<FLiveLinkFrameDataStruct>(MoveTemp(FrameData));
		benchmark::DoNotOptimize(Stored);
	}
	State.SetItemsProcessed(State.iterations());
}

void BM_PublishingPass(benchmark::State& State)
{
	int64 NowMs = 0;
	FStandInClock::SetCycleSource([&NowMs] { return uint64(NowMs) * 1000000u; });
	FLiveLinkClient Client;
	// Lens values on, take automation off: the pass as a source without a Take Recorder runs it.
	const TSharedPtr<FOrvidaLiveLinkSource> Source = FOrvidaLiveLinkSourceTestAccess::MakeClocked(
	    FIPv4Endpoint(FIPv4Address::InternalLoopback, LoopbackUdp::PickFreePort()), true, false, false, [&NowMs] { return NowMs; });
	const FGuid SourceGuid = Client.AddSource(Source);
	for (int32 Index = 0; Index < FOrvidaSampleRing::RingCapacity; ++Index)
	{
		Source->GetSampleRing().CommitSample(TypicalSample());
	}
	for (auto _ : State)
	{
		// Every pass enters a new playout frame; once the ring runs dry the last sample stays due. A datagram per
		// pass, as in a stream at the playout rate, keeps the source publishing.
		NowMs += 40;
		FOrvidaLiveLinkSourceTestAccess::MarkDatagramArrival(*Source);
		if (!Source->LiveLinkTick())
		{
			State.SkipWithError("no frame was due");
			break;
		}
	}
	State.SetItemsProcessed(State.iterations());
	Client.RemoveSource(SourceGuid);
	FStandInClock::SetCycleSource(nullptr);
}
} // namespace

BENCHMARK(BM_CopySample);
BENCHMARK(BM_FrameHandOver);
BENCHMARK(BM_PublishingPass);

int main(int ArgumentCount, char** Arguments)
{
	return OrvidaBenchmark::RunWithRatios(ArgumentCount, Arguments,
	                                      {
	                                          {"BM_PublishingPass", "BM_CopySample", "publishing pass / sample copy (target <= 3)"},
	                                          {"BM_FrameHandOver", "BM_CopySample", "frame hand-over alone / sample copy"},
	                                          {"BM_PublishingPass", "BM_FrameHandOver", "publishing pass / frame hand-over"},
	                                      });
}
