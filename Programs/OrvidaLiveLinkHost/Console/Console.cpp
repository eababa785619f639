#include "Console/Console.h"

#include "Console/ConsoleLine.h"

#include <algorithm>
#include <cstdio>

FHostConsole::FHostConsole(const FHostSnapshotBoard& InBoard)
    : Board(InBoard)
    , NextReport(std::chrono::steady_clock::now() + std::chrono::seconds(1))
{
}

void FHostConsole::Tick(std::chrono::steady_clock::time_point Now)
{
	if (Now < NextReport)
	{
		return;
	}
	// Whole seconds from the first report, without catching up on seconds a stalled game thread missed.
	do
	{
		NextReport += std::chrono::seconds(1);
	} while (NextReport <= Now);
	const std::shared_ptr<const FHostSnapshot> Snapshot = Board.Read();
	if (!Snapshot)
	{
		return;
	}
	for (const FHostSourceSnapshot& Source : Snapshot->Sources)
	{
		const auto CameraSubject = std::find_if(Snapshot->Subjects.begin(), Snapshot->Subjects.end(),
		                                        [&Source](const FHostSubjectSnapshot& Subject) { return Subject.SourceGuid == Source.Guid && Subject.Camera; });
		const FHostSubjectSnapshot* Found = CameraSubject != Snapshot->Subjects.end() ? &*CameraSubject : nullptr;
		std::printf("%s\n", FormatConsoleLine(Source, Snapshot->Take, Found).c_str());
		std::fflush(stdout);
	}
}
