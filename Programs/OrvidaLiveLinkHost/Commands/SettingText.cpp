#include "Commands/SettingText.h"

#include "Interfaces/IPv4/IPv4Address.h"
#include "OrvidaEndpointText.h"
#include "UObject/UnrealType.h"

namespace
{
bool IsBool(const FProperty& Property) { return Property.GetCPPType() == TEXT("bool"); }

bool IsPort(const FProperty& Property) { return Property.GetName() == TEXT("NetworkPortIdByDefault"); }

bool IsAddress(const FProperty& Property) { return Property.GetName() == TEXT("NetworkServerAddressByDefault"); }

/** A decimal number 0 to 65535: digits only, at most five. */
bool IsPortText(const FString& Text)
{
	if (Text.IsEmpty() || Text.Len() > 5)
	{
		return false;
	}
	int32 Value = 0;
	for (int32 Index = 0; Index < Text.Len(); ++Index)
	{
		if (Text[Index] < TEXT('0') || Text[Index] > TEXT('9'))
		{
			return false;
		}
		Value = Value * 10 + (Text[Index] - TEXT('0'));
	}
	return Value <= 65535;
}
} // namespace

FString FHostSettingText::Export(const FProperty& Property, const void* Object)
{
	if (IsBool(Property))
	{
		return *Property.ContainerPtrToValuePtr<bool>(Object) ? TEXT("true") : TEXT("false");
	}
	return Property.ExportText_InContainer(Object);
}

FString FHostSettingText::Validate(const FProperty& Property, const FString& Text)
{
	const FString Key = Property.GetName();
	// The engine's text reads True, Yes, On and 1 too; the command line takes the two words it prints.
	if (IsBool(Property) && !Text.Equals(TEXT("true"), ESearchCase::CaseSensitive) && !Text.Equals(TEXT("false"), ESearchCase::CaseSensitive))
	{
		return Key + TEXT(" takes true or false, not \"") + Text + TEXT("\"");
	}
	if (IsPort(Property) && !IsPortText(Text))
	{
		return Key + TEXT(" takes a port number from 0 to 65535, not \"") + Text + TEXT("\"");
	}
	FIPv4Address Address;
	if (IsAddress(Property) && !FOrvidaEndpointText::ParseAddress(Text, Address))
	{
		return Key + TEXT(" takes an IPv4 address a.b.c.d, not \"") + Text + TEXT("\"");
	}
	return FString();
}

bool FHostSettingText::Import(const FProperty& Property, const FString& Text, void* Object)
{
	return Validate(Property, Text).IsEmpty() && Property.ImportText_InContainer(Text, Object);
}
