#include "OrvidaCameraMessageDecoder.h"

#include "Dom/JsonObject.h"
#include "OrvidaJsonNesting.h"
#include "OrvidaLiveLinkLog.h"
#include "OrvidaNarrowing.h"
#include "OrvidaUtf8Text.h"
#include "Serialization/JsonReader.h"
#include "Serialization/JsonSerializer.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

namespace OrvidaCameraMessageDecoder
{
// Made once: a lookup key built per message would cost an allocation each.
const FString CameraKey(TEXT("OVDCamera"));
const FString LocationKey(TEXT("Location"));
const FString RotationKey(TEXT("Rotation"));
const FString ScaleKey(TEXT("Scale"));
const FString LensKey(TEXT("Lens"));
const FString TimecodeKey(TEXT("Timecode"));
const FString MetadataKey(TEXT("Metadata"));
const FString StateKey(TEXT("State"));

using FJsonValues = TArray<TSharedPtr<FJsonValue>>;

/** Truncated toward zero; anything outside the signed 32-bit range (NaN included) becomes its minimum. */
int32 ToTimecodeComponent(double Value) { return (Value > -2147483649.0 && Value < 2147483648.0) ? int32(Value) : std::numeric_limits<int32>::min(); }

/** A field is taken whole or not at all: an array of at least Count elements, each read by Convert, or Default throughout. */
template <typename ElementType, int32 Count, typename ConvertType>
void ReadArrayField(const FJsonObject& Record, const FString& Key, ElementType (&Out)[Count], const ElementType& Default, ConvertType&& Convert)
{
	const FJsonValues* Values = nullptr;
	const bool bWhole = Record.TryGetArrayField(Key, Values) && Values->Num() >= Count;
	for (int32 Index = 0; Index < Count; ++Index)
	{
		const TSharedPtr<FJsonValue>& Element = bWhole ? (*Values)[Index] : nullptr;
		Out[Index] = Element.IsValid() ? Convert(*Element) : Default;
	}
}

double AsDouble(const FJsonValue& Value) { return Value.AsNumber(); }

int32 AsTimecodeComponent(const FJsonValue& Value) { return ToTimecodeComponent(Value.AsNumber()); }

FString AsText(const FJsonValue& Value) { return Value.AsString(); }

/** Finite once in the engine's precision: a value beyond the single range is infinite in 4.27 and not in 5.x. */
template <int32 Count> bool AreAllFiniteInEngine(const double (&Values)[Count])
{
	return std::all_of(std::begin(Values), std::end(Values), [](double Value) { return std::isfinite(OrvidaLiveLink::ToEngineReal(Value)); });
}

/** Lens[0] is only carried, as read; the source publishes the others narrowed to single precision. */
bool IsLensPublishable(const double (&Lens)[4])
{
	return std::isfinite(Lens[0]) &&
	       std::all_of(std::begin(Lens) + 1, std::end(Lens), [](double Value) { return std::isfinite(OrvidaLiveLink::NarrowToSingle(Value)); });
}

/** The camera record's object, when Value is a non-empty array whose first element is one. */
const FJsonObject* FindCameraRecord(const FJsonValue& Value)
{
	const FJsonValues* Elements = nullptr;
	if (!Value.TryGetArray(Elements) || Elements->Num() == 0 || !(*Elements)[0].IsValid())
	{
		return nullptr;
	}
	const TSharedPtr<FJsonObject>* Record = nullptr;
	return (*Elements)[0]->TryGetObject(Record) && Record->IsValid() ? Record->Get() : nullptr;
}
} // namespace OrvidaCameraMessageDecoder

FOrvidaCameraMessageDecoder::FOrvidaCameraMessageDecoder(bool bInAutoLens)
    : bAutoLens(bInAutoLens)
{
}

FOrvidaCameraMessageDecoder::FOutcome FOrvidaCameraMessageDecoder::Decode(const uint8* Bytes, int32 Count, TFunctionRef<void(FOrvidaCameraSample&&)> Commit)
{
	const FOrvidaLogLimiter::FHeldBack HeldBack = UnknownDataLimiter.BeginMessage();
	if (HeldBack.Lines > 0)
	{
		UE_LOG(ModuleLog, Warning, TEXT("Unknow data received: %d more lines held back, from %d datagrams"), HeldBack.Lines, HeldBack.Messages);
	}
	const FOrvidaLogLimiter::FHeldBack DeepHeldBack = DeepTextLimiter.BeginMessage();
	if (DeepHeldBack.Lines > 0)
	{
		UE_LOG(ModuleLog, Warning, TEXT("%d more datagrams nested too deeply were dropped"), DeepHeldBack.Lines);
	}

	FOutcome Outcome;
	if (FOrvidaJsonNesting::IsTooDeep(Bytes, Count))
	{
		if (DeepTextLimiter.TryAdmitLine())
		{
			UE_LOG(ModuleLog, Warning, TEXT("A datagram nested deeper than %d levels was dropped"), FOrvidaJsonNesting::MaxDepth);
		}
		return Outcome;
	}

	TSharedPtr<FJsonObject> Message;
	if (!FJsonSerializer::Deserialize(TJsonReaderFactory<TCHAR>::Create(FOrvidaUtf8Text::Decode(Bytes, Count)), Message) || !Message.IsValid())
	{
		return Outcome;
	}
	return DecodeMessage(*Message, Commit);
}

FOrvidaCameraMessageDecoder::FOutcome FOrvidaCameraMessageDecoder::DecodeMessage(const FJsonObject& Message, TFunctionRef<void(FOrvidaCameraSample&&)> Commit)
{
	using namespace OrvidaCameraMessageDecoder;

	FOutcome Outcome;
	Outcome.bParsed = true;
	for (const auto& Field : Message.Values)
	{
		if (!Field.Key.Equals(CameraKey, ESearchCase::IgnoreCase))
		{
			++Outcome.ForeignKeys;
			if (UnknownDataLimiter.TryAdmitLine())
			{
				UE_LOG(ModuleLog, Error, TEXT("Unknow data received"));
			}
			continue;
		}
		const FJsonObject* Record = Field.Value.IsValid() ? FindCameraRecord(*Field.Value) : nullptr;
		if (Record == nullptr)
		{
			continue;
		}
		Outcome.bHasCameraRecord = true;

		FOrvidaCameraSample Sample;
		ReadArrayField(*Record, LocationKey, Sample.Location, 0.0, AsDouble);
		ReadArrayField(*Record, RotationKey, Sample.Rotation, 0.0, AsDouble);
		ReadArrayField(*Record, ScaleKey, Sample.Scale, 1.0, AsDouble);
		ReadArrayField(*Record, LensKey, Sample.Lens, 0.0, AsDouble);
		// An infinite camera poisons whatever the engine computes from it, so the record goes as a whole.
		if (!AreAllFiniteInEngine(Sample.Location) || !AreAllFiniteInEngine(Sample.Rotation) || !AreAllFiniteInEngine(Sample.Scale))
		{
			continue;
		}
		if (!IsLensPublishable(Sample.Lens))
		{
			if (bAutoLens)
			{
				continue;
			}
			// Unpublished now; should the option be turned on while the ring holds the sample, a cleared lens is harmless.
			std::fill(std::begin(Sample.Lens), std::end(Sample.Lens), 0.0);
		}
		ReadArrayField(*Record, TimecodeKey, Sample.Timecode, 0, AsTimecodeComponent);
		ReadArrayField(*Record, MetadataKey, Sample.Metadata, FString(), AsText);
		Record->TryGetNumberField(StateKey, Sample.State);
		Commit(MoveTemp(Sample));
		++Outcome.Samples;
	}
	return Outcome;
}
