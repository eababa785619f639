// A JSON object: named fields, looked up ignoring ASCII letter case and iterated in the order they were added.
//
// For a missing field, or one whose value does not convert (FJsonValue's rules), the TryGet forms return false and
// leave their out argument as it was. The Get forms return what the value's As form gives; for a missing field
// they write "Field <name> was not found." to LogJson at Error and return 0, an empty string or an empty array.
// A field added with a null value pointer counts as missing everywhere except in Values.
//
// Threads: as FJsonValue: no lock; concurrent readers are safe while no thread changes the object.
#pragma once

#include "CoreMinimal.h"
#include "Dom/JsonValue.h"

class JSON_API FJsonObject
{
public:
	/** The fields, in the order they were first added. */
	TMap<FString, TSharedPtr<FJsonValue>> Values;

	/** The field's value, or a null pointer when there is no such field. */
	TSharedPtr<FJsonValue> TryGetField(const FString& FieldName) const;
	/** True when the field exists with a non-null value. */
	bool HasField(const FString& FieldName) const;
	/** Adds the field, or replaces the value of the field already named so, in its place. */
	void SetField(const FString& FieldName, const TSharedPtr<FJsonValue>& Value);
	void RemoveField(const FString& FieldName);

	bool TryGetNumberField(const FString& FieldName, double& OutNumber) const;
	/** Range-checked and rounded half away from zero, as FJsonValue::TryGetNumber(int32&). */
	bool TryGetNumberField(const FString& FieldName, int32& OutNumber) const;
	bool TryGetNumberField(const FString& FieldName, uint32& OutNumber) const;
	bool TryGetNumberField(const FString& FieldName, int64& OutNumber) const;
	bool TryGetStringField(const FString& FieldName, FString& OutString) const;
	bool TryGetBoolField(const FString& FieldName, bool& OutBool) const;
	/** Points OutArray at the field's own elements, valid while the field's value lives and is not changed. */
	bool TryGetArrayField(const FString& FieldName, const TArray<TSharedPtr<FJsonValue>>*& OutArray) const;
	/** Points OutObject at the field's own object pointer, valid while the field's value lives and is not changed. */
	bool TryGetObjectField(const FString& FieldName, const TSharedPtr<FJsonObject>*& OutObject) const;

	double GetNumberField(const FString& FieldName) const;
	FString GetStringField(const FString& FieldName) const;
	bool GetBoolField(const FString& FieldName) const;
	const TArray<TSharedPtr<FJsonValue>>& GetArrayField(const FString& FieldName) const;

	void SetNumberField(const FString& FieldName, double Number);
	void SetStringField(const FString& FieldName, const FString& StringValue);
	void SetBoolField(const FString& FieldName, bool bValue);
	void SetArrayField(const FString& FieldName, const TArray<TSharedPtr<FJsonValue>>& Array);
	/** A null JsonObject is stored as a JSON null. */
	void SetObjectField(const FString& FieldName, const TSharedPtr<FJsonObject>& JsonObject);

private:
	/** The field's value when it exists and is not null; otherwise null. */
	const FJsonValue* FindValue(const FString& FieldName) const;
	/** Like FindValue, but writes the not-found line for a missing field. */
	const FJsonValue* FindValueOrLog(const FString& FieldName) const;
};
