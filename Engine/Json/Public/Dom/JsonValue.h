// A JSON value of any kind, as the engine's DOM holds it.
//
// Reading a value as another kind than it holds:
//   - The TryGet forms return false and leave their out argument as it was, unless the value converts: a number
//     reads as text and as a boolean (non-zero is true), a boolean as a number (1 or 0) and as "true"/"false", and a
//     string as a number when it is numeric text (an optional sign, digits, at most one '.', no exponent).
//   - The integer forms of TryGetNumber read the value as a double first and fail outside the integer's range
//     (NaN included); within it they round half away from zero, so 2.5 gives 3 and -2.5 gives -3.
//   - The As forms return what the TryGet form gives, or, when it fails, write one Error line to LogJson
//     ("Json Value of type 'Boolean' used as a 'Number'.") and return 0, an empty string, false, an empty array
//     or a null object pointer.
//
// Threads: a value has no lock. Any number of threads may read one value (and the tree below it) at once as long
// as no thread changes it. The shared pointers that link a tree count their references atomically, so the parts
// of one tree may be released on different threads.
#pragma once

#include "CoreMinimal.h"
#include "Serialization/JsonTypes.h"

class FJsonObject;

class JSON_API FJsonValue
{
public:
	virtual ~FJsonValue() = default;

	/** The value as a number; 0 and an error line when TryGetNumber(double&) fails. */
	double AsNumber() const;
	/** The value as text; empty and an error line when TryGetString fails. */
	FString AsString() const;
	/** The value as a boolean; false and an error line when TryGetBool fails. */
	bool AsBool() const;
	/** The elements of an array value; a shared empty array and an error line for any other kind. */
	const TArray<TSharedPtr<FJsonValue>>& AsArray() const;
	/** The object of an object value; a shared null pointer and an error line for any other kind. */
	const TSharedPtr<FJsonObject>& AsObject() const;

	virtual bool TryGetNumber(double& OutNumber) const { return false; }
	/** False outside -2147483648..2147483647; otherwise the number rounded half away from zero. */
	virtual bool TryGetNumber(int32& OutNumber) const;
	/** False outside 0..4294967295; otherwise the number rounded half away from zero. */
	virtual bool TryGetNumber(uint32& OutNumber) const;
	/** False below -2^63 and from 2^63 up; otherwise the number rounded half away from zero. */
	virtual bool TryGetNumber(int64& OutNumber) const;
	virtual bool TryGetString(FString& OutString) const { return false; }
	virtual bool TryGetBool(bool& OutBool) const { return false; }
	/** Points OutArray at the value's own elements, valid while the value lives and is not changed. */
	virtual bool TryGetArray(const TArray<TSharedPtr<FJsonValue>>*& OutArray) const { return false; }
	/** Points OutObject at the value's own object pointer, valid while the value lives and is not changed. */
	virtual bool TryGetObject(const TSharedPtr<FJsonObject>*& OutObject) const { return false; }
	virtual bool IsNull() const { return Type == EJson::Null || Type == EJson::None; }

	EJson Type = EJson::None;

protected:
	FJsonValue() = default;

	/** The kind's name as error lines show it ("Number", "String", ...). */
	virtual FString GetType() const = 0;

	/** Writes the error line for a read as InType that this value cannot give. */
	void ErrorMessage(const TCHAR* InType) const;
};

class JSON_API FJsonValueNumber : public FJsonValue
{
public:
	explicit FJsonValueNumber(double InNumber)
	    : Value(InNumber)
	{
		Type = EJson::Number;
	}

	using FJsonValue::TryGetNumber;
	bool TryGetNumber(double& OutNumber) const override;
	/** True for any non-zero number (NaN included). */
	bool TryGetBool(bool& OutBool) const override;
	/**
	 * The shortest decimal text that reads back as the same double: "3", "12.5", "0.1", "-0", "1e+21". The engine
	 * writes fixed-point text with six decimals, trimmed; that loses digits this form keeps.
	 */
	bool TryGetString(FString& OutString) const override;

protected:
	FString GetType() const override { return TEXT("Number"); }

	double Value;
};

class JSON_API FJsonValueString : public FJsonValue
{
public:
	explicit FJsonValueString(const FString& InString)
	    : Value(InString)
	{
		Type = EJson::String;
	}
	explicit FJsonValueString(FString&& InString)
	    : Value(MoveTemp(InString))
	{
		Type = EJson::String;
	}

	using FJsonValue::TryGetNumber;
	/** True only for numeric text (FString::IsNumeric), read as the nearest double. */
	bool TryGetNumber(double& OutNumber) const override;
	bool TryGetString(FString& OutString) const override;

protected:
	FString GetType() const override { return TEXT("String"); }

	FString Value;
};

class JSON_API FJsonValueBoolean : public FJsonValue
{
public:
	explicit FJsonValueBoolean(bool bInValue)
	    : bValue(bInValue)
	{
		Type = EJson::Boolean;
	}

	using FJsonValue::TryGetNumber;
	/** 1 for true, 0 for false. */
	bool TryGetNumber(double& OutNumber) const override;
	bool TryGetBool(bool& OutBool) const override;
	/** "true" or "false". */
	bool TryGetString(FString& OutString) const override;

protected:
	FString GetType() const override { return TEXT("Boolean"); }

	bool bValue;
};

class JSON_API FJsonValueArray : public FJsonValue
{
public:
	explicit FJsonValueArray(const TArray<TSharedPtr<FJsonValue>>& InArray)
	    : Value(InArray)
	{
		Type = EJson::Array;
	}
	explicit FJsonValueArray(TArray<TSharedPtr<FJsonValue>>&& InArray)
	    : Value(MoveTemp(InArray))
	{
		Type = EJson::Array;
	}

	bool TryGetArray(const TArray<TSharedPtr<FJsonValue>>*& OutArray) const override;

protected:
	FString GetType() const override { return TEXT("Array"); }

	TArray<TSharedPtr<FJsonValue>> Value;
};

class JSON_API FJsonValueObject : public FJsonValue
{
public:
	/** A null InObject is kept as it is: TryGetObject then gives a pointer to the null pointer. */
	explicit FJsonValueObject(TSharedPtr<FJsonObject> InObject)
	    : Value(MoveTemp(InObject))
	{
		Type = EJson::Object;
	}

	bool TryGetObject(const TSharedPtr<FJsonObject>*& OutObject) const override;

protected:
	FString GetType() const override { return TEXT("Object"); }

	TSharedPtr<FJsonObject> Value;
};

class JSON_API FJsonValueNull : public FJsonValue
{
public:
	FJsonValueNull() { Type = EJson::Null; }

protected:
	FString GetType() const override { return TEXT("Null"); }
};
