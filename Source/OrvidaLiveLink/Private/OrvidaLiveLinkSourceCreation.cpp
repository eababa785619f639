#include "OrvidaLiveLinkSourceCreation.h"

#include "OrvidaEndpointText.h"
#include "OrvidaLiveLinkSource.h"

namespace OrvidaLiveLinkSourceCreation
{
namespace
{
// Where a repaired endpoint text points: every address of this machine, on the camera application's usual port.
constexpr uint16 FallbackPort = 9001;
} // namespace

FInitialPanelValues MakeInitialPanelValues(const FString& Address, int32 Port, bool bAutoLens, bool bAutoSceneTakeUpdate, bool bAutoRecord)
{
	FIPv4Address ParsedAddress = FIPv4Address::Any;
	FOrvidaEndpointText::ParseAddress(Address, ParsedAddress);
	return FInitialPanelValues{FIPv4Endpoint(ParsedAddress, uint16(uint32(Port) & 0xFFFFu)).ToString(), bAutoLens, bAutoSceneTakeUpdate, bAutoRecord};
}

TOptional<FString> RepairEndpointText(const FString& CommittedText)
{
	FIPv4Endpoint Parsed;
	FIPv4Address Interface;
	if (FOrvidaEndpointText::ParseSourceEndpoint(CommittedText, Parsed, Interface))
	{
		return TOptional<FString>();
	}
	return FIPv4Endpoint(FIPv4Address::Any, FallbackPort).ToString();
}

TOptional<FOrvidaLiveLinkConnectionSettings> ConfirmConnectionSettings(const FString& EndpointText, bool bAutoLens, bool bAutoSceneTakeUpdate, bool bAutoRecord)
{
	FIPv4Endpoint Parsed;
	FIPv4Address Interface;
	if (!FOrvidaEndpointText::ParseSourceEndpoint(EndpointText, Parsed, Interface))
	{
		return TOptional<FOrvidaLiveLinkConnectionSettings>();
	}
	return FOrvidaLiveLinkConnectionSettings{Parsed, bAutoLens, bAutoSceneTakeUpdate, bAutoRecord, Interface};
}

TSharedPtr<FOrvidaLiveLinkSource> CreateSource(const FOrvidaLiveLinkConnectionSettings& Settings, FString& OutConnectionString)
{
	OutConnectionString = FOrvidaEndpointText::FormatSourceEndpoint(Settings.Endpoint, Settings.MulticastInterface);
	return MakeShared<FOrvidaLiveLinkSource>(Settings.Endpoint, Settings.bAutoLens, Settings.bAutoSceneTakeUpdate, Settings.bAutoRecord,
	                                         Settings.MulticastInterface);
}

TSharedPtr<FOrvidaLiveLinkSource> CreateSourceFromConnectionString(const FString& ConnectionString)
{
	FIPv4Endpoint Parsed;
	FIPv4Address Interface;
	if (!FOrvidaEndpointText::ParseSourceEndpoint(ConnectionString, Parsed, Interface))
	{
		return nullptr;
	}
	return MakeShared<FOrvidaLiveLinkSource>(Parsed, false, true, false, Interface);
}
} // namespace OrvidaLiveLinkSourceCreation
