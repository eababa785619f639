#include "Dom/JsonObject.h"

#include "JsonGlobals.h"

namespace
{
const TArray<TSharedPtr<FJsonValue>>& GetEmptyArray()
{
	static const TArray<TSharedPtr<FJsonValue>> EmptyArray;
	return EmptyArray;
}
} // namespace

TSharedPtr<FJsonValue> FJsonObject::TryGetField(const FString& FieldName) const
{
	const TSharedPtr<FJsonValue>* Field = Values.Find(FieldName);
	return Field != nullptr ? *Field : TSharedPtr<FJsonValue>();
}

bool FJsonObject::HasField(const FString& FieldName) const { return FindValue(FieldName) != nullptr; }

void FJsonObject::SetField(const FString& FieldName, const TSharedPtr<FJsonValue>& Value) { Values.Add(FieldName, Value); }

void FJsonObject::RemoveField(const FString& FieldName) { Values.Remove(FieldName); }

bool FJsonObject::TryGetNumberField(const FString& FieldName, double& OutNumber) const
{
	const FJsonValue* Value = FindValue(FieldName);
	return Value != nullptr && Value->TryGetNumber(OutNumber);
}

bool FJsonObject::TryGetNumberField(const FString& FieldName, int32& OutNumber) const
{
	const FJsonValue* Value = FindValue(FieldName);
	return Value != nullptr && Value->TryGetNumber(OutNumber);
}

bool FJsonObject::TryGetNumberField(const FString& FieldName, uint32& OutNumber) const
{
	const FJsonValue* Value = FindValue(FieldName);
	return Value != nullptr && Value->TryGetNumber(OutNumber);
}

bool FJsonObject::TryGetNumberField(const FString& FieldName, int64& OutNumber) const
{
	const FJsonValue* Value = FindValue(FieldName);
	return Value != nullptr && Value->TryGetNumber(OutNumber);
}

bool FJsonObject::TryGetStringField(const FString& FieldName, FString& OutString) const
{
	const FJsonValue* Value = FindValue(FieldName);
	return Value != nullptr && Value->TryGetString(OutString);
}

bool FJsonObject::TryGetBoolField(const FString& FieldName, bool& OutBool) const
{
	const FJsonValue* Value = FindValue(FieldName);
	return Value != nullptr && Value->TryGetBool(OutBool);
}

bool FJsonObject::TryGetArrayField(const FString& FieldName, const TArray<TSharedPtr<FJsonValue>>*& OutArray) const
{
	const FJsonValue* Value = FindValue(FieldName);
	return Value != nullptr && Value->TryGetArray(OutArray);
}

bool FJsonObject::TryGetObjectField(const FString& FieldName, const TSharedPtr<FJsonObject>*& OutObject) const
{
	const FJsonValue* Value = FindValue(FieldName);
	return Value != nullptr && Value->TryGetObject(OutObject);
}

double FJsonObject::GetNumberField(const FString& FieldName) const
{
	const FJsonValue* Value = FindValueOrLog(FieldName);
	return Value != nullptr ? Value->AsNumber() : 0.0;
}

FString FJsonObject::GetStringField(const FString& FieldName) const
{
	const FJsonValue* Value = FindValueOrLog(FieldName);
	return Value != nullptr ? Value->AsString() : FString();
}

bool FJsonObject::GetBoolField(const FString& FieldName) const
{
	const FJsonValue* Value = FindValueOrLog(FieldName);
	return Value != nullptr && Value->AsBool();
}

const TArray<TSharedPtr<FJsonValue>>& FJsonObject::GetArrayField(const FString& FieldName) const
{
	const FJsonValue* Value = FindValueOrLog(FieldName);
	return Value != nullptr ? Value->AsArray() : GetEmptyArray();
}

void FJsonObject::SetNumberField(const FString& FieldName, double Number) { Values.Add(FieldName, MakeShared<FJsonValueNumber>(Number)); }

void FJsonObject::SetStringField(const FString& FieldName, const FString& StringValue) { Values.Add(FieldName, MakeShared<FJsonValueString>(StringValue)); }

void FJsonObject::SetBoolField(const FString& FieldName, bool bValue) { Values.Add(FieldName, MakeShared<FJsonValueBoolean>(bValue)); }

void FJsonObject::SetArrayField(const FString& FieldName, const TArray<TSharedPtr<FJsonValue>>& Array)
{
	Values.Add(FieldName, MakeShared<FJsonValueArray>(Array));
}

void FJsonObject::SetObjectField(const FString& FieldName, const TSharedPtr<FJsonObject>& JsonObject)
{
	if (JsonObject.IsValid())
	{
		Values.Add(FieldName, MakeShared<FJsonValueObject>(JsonObject));
	}
	else
	{
		// A JSON null rather than an object value around a null pointer, which every reader would have to check for.
		Values.Add(FieldName, MakeShared<FJsonValueNull>());
	}
}

const FJsonValue* FJsonObject::FindValue(const FString& FieldName) const
{
	const TSharedPtr<FJsonValue>* Field = Values.Find(FieldName);
	return Field != nullptr ? Field->Get() : nullptr;
}

const FJsonValue* FJsonObject::FindValueOrLog(const FString& FieldName) const
{
	const FJsonValue* Value = FindValue(FieldName);
	if (Value == nullptr)
	{
		UE_LOG(LogJson, Error, TEXT("Field %s was not found."), *FieldName);
	}
	return Value;
}
