#include "SenderTestDecoding.h"

#include "OrvidaCameraMessageDecoder.h"

std::optional<FOrvidaCameraSample> DecodeDatagram(const std::string& Datagram)
{
	FOrvidaCameraMessageDecoder Decoder(true);
	std::optional<FOrvidaCameraSample> Decoded;
	Decoder.Decode(reinterpret_cast<const uint8*>(Datagram.data()), int32(Datagram.size()), [&Decoded](FOrvidaCameraSample&& Sample) { Decoded = Sample; });
	return Decoded;
}

FOrvidaCameraSample ExpectedSample(const FSenderCameraState& State)
{
	FOrvidaCameraSample Sample;
	for (int32 Index = 0; Index < 3; ++Index)
	{
		Sample.Location[Index] = State.Location[Index];
		Sample.Scale[Index] = State.Scale[Index];
	}
	for (int32 Index = 0; Index < 4; ++Index)
	{
		Sample.Rotation[Index] = State.Rotation[Index];
		Sample.Lens[Index] = State.Lens[Index];
	}
	Sample.Timecode[0] = State.FrameNumber;
	Sample.Timecode[1] = State.Rate.Numerator;
	Sample.Timecode[2] = State.Rate.Denominator;
	Sample.Metadata[0] = UTF8_TO_TCHAR(State.Scene.c_str());
	Sample.Metadata[1] = UTF8_TO_TCHAR(State.Slate.c_str());
	Sample.Metadata[2] = UTF8_TO_TCHAR(State.Take.c_str());
	Sample.State = State.State;
	return Sample;
}
