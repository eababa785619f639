#include "SenderTrajectoryReader.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

std::optional<FSenderTrajectoryReader::EUnits> FSenderTrajectoryReader::ParseUnits(std::string_view Text)
{
	if (Text == "cm")
	{
		return EUnits::Centimetres;
	}
	if (Text == "m")
	{
		return EUnits::Metres;
	}
	return std::nullopt;
}

std::optional<FSenderTrajectoryReader::EAxes> FSenderTrajectoryReader::ParseAxes(std::string_view Text)
{
	if (Text == "none")
	{
		return EAxes::None;
	}
	if (Text == "yup")
	{
		return EAxes::YUpRightHanded;
	}
	return std::nullopt;
}

FSenderReplay FSenderTrajectoryReader::Read(const std::string& Path, EUnits Units, EAxes Axes, FSenderFrameRate Rate, int64_t StartFrame)
{
	std::ifstream File(Path);
	if (!File)
	{
		return FSenderReplay::Failure("cannot read " + Path);
	}
	const double Scale = Units == EUnits::Centimetres ? 100.0 : 1.0;
	FSenderReplay Replay;
	double FirstTimestamp = 0.0;
	std::string Line;
	for (int32_t LineNumber = 1; std::getline(File, Line); ++LineNumber)
	{
		std::istringstream Fields(Line);
		std::string First;
		if (!(Fields >> First) || First.front() == '#')
		{
			continue;
		}
		double Values[8];
		Fields.str(Line);
		Fields.clear();
		for (double& Value : Values)
		{
			Fields >> Value;
		}
		std::string Rest;
		if (!Fields || Fields >> Rest || !std::all_of(std::begin(Values), std::end(Values), [](double Value) { return std::isfinite(Value); }))
		{
			return FSenderReplay::Failure(Path + ":" + std::to_string(LineNumber) + ": not \"timestamp tx ty tz qx qy qz qw\"");
		}
		const double Timestamp = Values[0];
		const double* const Position = Values + 1;
		const double* const Quaternion = Values + 4;
		if (Replay.Frames.empty())
		{
			FirstTimestamp = Timestamp;
		}

		FSenderCameraState State;
		if (Axes == EAxes::None)
		{
			std::copy(Position, Position + 3, State.Location);
			std::copy(Quaternion, Quaternion + 4, State.Rotation);
		}
		else
		{
			// A change of axes with a mirror in it: positions map through it, and a rotation's axis maps through it
			// negated (conjugating by a mirror keeps the angle and turns the axis the other way).
			const double Mapped[3] = {-Position[2], Position[0], Position[1]};
			std::copy(Mapped, Mapped + 3, State.Location);
			State.Rotation[0] = Quaternion[2];
			State.Rotation[1] = -Quaternion[0];
			State.Rotation[2] = -Quaternion[1];
			State.Rotation[3] = Quaternion[3];
		}
		for (double& Component : State.Location)
		{
			Component *= Scale;
		}
		State.SetLens(35.0, 300.0);
		State.Rate = Rate;
		const double Seconds = Timestamp - FirstTimestamp;
		State.FrameNumber = int32_t(uint32_t(StartFrame + std::llround(Seconds * Rate.FramesPerSecond())));

		FSenderFrame Frame;
		Frame.Offset = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::duration<double>(Seconds));
		if (!Replay.Frames.empty())
		{
			Frame.Offset = std::max(Frame.Offset, Replay.Frames.back().Offset);
		}
		Frame.Content = std::move(State);
		Replay.Frames.push_back(std::move(Frame));
	}
	return Replay;
}
