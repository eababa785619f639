#include "Dom/JsonValue.h"

#include "Dom/JsonObject.h"
#include "JsonGlobals.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>

namespace
{
/**
 * Reads Number into OutNumber when it lies within [Lowest, Highest] before rounding; the engine checks the range the
 * same way. Highest is exclusive for 64-bit types: the largest int64 as a double is 2^63, one past the range.
 */
template <typename IntegerType> bool TryConvertNumber(double Number, IntegerType& OutNumber)
{
	constexpr double Lowest = double(std::numeric_limits<IntegerType>::min());
	constexpr double Highest = double(std::numeric_limits<IntegerType>::max());
	constexpr bool bHighestRoundsUp = sizeof(IntegerType) >= sizeof(int64);
	const bool bInRange = Number >= Lowest && (bHighestRoundsUp ? Number < Highest : Number <= Highest);
	if (!bInRange)
	{
		return false;
	}
	OutNumber = IntegerType(std::round(Number));
	return true;
}

/** Reads text in the "C" locale, so that the result never depends on the locale a host program has set. */
double ReadDouble(const char* Text)
{
	static const locale_t ClassicLocale = newlocale(LC_ALL_MASK, "C", locale_t(0));
	// Without a locale object (out of memory at first use) the process's locale is the best there is.
	return ClassicLocale != locale_t(0) ? strtod_l(Text, nullptr, ClassicLocale) : std::strtod(Text, nullptr);
}

// Function statics, so that they exist even for a caller that runs before this library's static initialisation.
const TArray<TSharedPtr<FJsonValue>>& GetEmptyArray()
{
	static const TArray<TSharedPtr<FJsonValue>> EmptyArray;
	return EmptyArray;
}

const TSharedPtr<FJsonObject>& GetNullObject()
{
	static const TSharedPtr<FJsonObject> NullObject;
	return NullObject;
}
} // namespace

double FJsonValue::AsNumber() const
{
	double Number = 0.0;
	if (!TryGetNumber(Number))
	{
		ErrorMessage(TEXT("Number"));
	}
	return Number;
}

FString FJsonValue::AsString() const
{
	FString String;
	if (!TryGetString(String))
	{
		ErrorMessage(TEXT("String"));
	}
	return String;
}

bool FJsonValue::AsBool() const
{
	bool bResult = false;
	if (!TryGetBool(bResult))
	{
		ErrorMessage(TEXT("Boolean"));
	}
	return bResult;
}

const TArray<TSharedPtr<FJsonValue>>& FJsonValue::AsArray() const
{
	const TArray<TSharedPtr<FJsonValue>>* Array = &GetEmptyArray();
	if (!TryGetArray(Array))
	{
		ErrorMessage(TEXT("Array"));
	}
	return *Array;
}

const TSharedPtr<FJsonObject>& FJsonValue::AsObject() const
{
	const TSharedPtr<FJsonObject>* Object = &GetNullObject();
	if (!TryGetObject(Object))
	{
		ErrorMessage(TEXT("Object"));
	}
	return *Object;
}

bool FJsonValue::TryGetNumber(int32& OutNumber) const
{
	double Number;
	return TryGetNumber(Number) && TryConvertNumber(Number, OutNumber);
}

bool FJsonValue::TryGetNumber(uint32& OutNumber) const
{
	double Number;
	return TryGetNumber(Number) && TryConvertNumber(Number, OutNumber);
}

bool FJsonValue::TryGetNumber(int64& OutNumber) const
{
	double Number;
	return TryGetNumber(Number) && TryConvertNumber(Number, OutNumber);
}

void FJsonValue::ErrorMessage(const TCHAR* InType) const { UE_LOG(LogJson, Error, TEXT("Json Value of type '%s' used as a '%s'."), *GetType(), InType); }

bool FJsonValueNumber::TryGetNumber(double& OutNumber) const
{
	OutNumber = Value;
	return true;
}

bool FJsonValueNumber::TryGetBool(bool& OutBool) const
{
	OutBool = Value != 0.0;
	return true;
}

bool FJsonValueNumber::TryGetString(FString& OutString) const
{
	// Shortest round-trip form; 32 characters hold any double's.
	char Buffer[32];
	const std::to_chars_result Result = std::to_chars(Buffer, Buffer + sizeof(Buffer), Value);
	std::u16string Text(Buffer, Result.ptr);
	OutString = FString(MoveTemp(Text));
	return true;
}

bool FJsonValueString::TryGetNumber(double& OutNumber) const
{
	if (!Value.IsNumeric())
	{
		return false;
	}
	// Numeric text is ASCII by definition, so narrowing each character is exact.
	const int32 Length = Value.Len();
	std::string Narrow(size_t(Length), '\0');
	for (int32 Index = 0; Index < Length; ++Index)
	{
		Narrow[size_t(Index)] = char(Value[Index]);
	}
	OutNumber = ReadDouble(Narrow.c_str());
	return true;
}

bool FJsonValueString::TryGetString(FString& OutString) const
{
	OutString = Value;
	return true;
}

bool FJsonValueBoolean::TryGetNumber(double& OutNumber) const
{
	OutNumber = bValue ? 1.0 : 0.0;
	return true;
}

bool FJsonValueBoolean::TryGetBool(bool& OutBool) const
{
	OutBool = bValue;
	return true;
}

bool FJsonValueBoolean::TryGetString(FString& OutString) const
{
	OutString = bValue ? FString(TEXT("true")) : FString(TEXT("false"));
	return true;
}

bool FJsonValueArray::TryGetArray(const TArray<TSharedPtr<FJsonValue>>*& OutArray) const
{
	OutArray = &Value;
	return true;
}

bool FJsonValueObject::TryGetObject(const TSharedPtr<FJsonObject>*& OutObject) const
{
	OutObject = &Value;
	return true;
}
