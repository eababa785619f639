#include "OrvidaLiveLinkSourceCreation.h"

#include "OrvidaEndpointText.h"
#include "OrvidaLiveLinkSource.h"
#include "OrvidaLiveLinkSourceSettings.h"

namespace OrvidaLiveLinkSourceCreation
{
namespace
{
// Where a repaired endpoint text points: every address of this machine, on the camera application's usual port.
constexpr uint16 FallbackPort = 9001;
} // namespace

FInitialPanelValues MakeInitialPanelValues(const FString& Address, int32 Port, const FString& SubjectName, bool bAutoLens, bool bAutoSceneTakeUpdate,
                                           bool bAutoRecord)
{
	FIPv4Address ParsedAddress = FIPv4Address::Any;
	FOrvidaEndpointText::ParseAddress(Address, ParsedAddress);
	return FInitialPanelValues{FIPv4Endpoint(ParsedAddress, uint16(uint32(Port) & 0xFFFFu)).ToString(), ResolveSubjectName(FString(), SubjectName), bAutoLens,
	                           bAutoSceneTakeUpdate, bAutoRecord};
}

FString ResolveSubjectName(const FString& SubjectText, const FString& DefaultSubjectName)
{
	// Spaces around a name are invisible in the panel's list of subjects, yet make it another name.
	const FString Typed = SubjectText.TrimStartAndEnd();
	if (!Typed.IsEmpty())
	{
		return Typed;
	}
	const FString ProjectDefault = DefaultSubjectName.TrimStartAndEnd();
	return ProjectDefault.IsEmpty() ? FString(UOrvidaLiveLinkSourceSettings::DefaultSubjectName) : ProjectDefault;
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

TOptional<FOrvidaLiveLinkConnectionSettings> ConfirmConnectionSettings(const FString& EndpointText, const FString& SubjectText,
                                                                       const FString& DefaultSubjectName, bool bAutoLens, bool bAutoSceneTakeUpdate,
                                                                       bool bAutoRecord)
{
	FIPv4Endpoint Parsed;
	FIPv4Address Interface;
	if (!FOrvidaEndpointText::ParseSourceEndpoint(EndpointText, Parsed, Interface))
	{
		return TOptional<FOrvidaLiveLinkConnectionSettings>();
	}
	FOrvidaLiveLinkConnectionSettings Settings{Parsed, bAutoLens, bAutoSceneTakeUpdate, bAutoRecord, Interface};
	Settings.SubjectName = ResolveSubjectName(SubjectText, DefaultSubjectName);
	return Settings;
}

TSharedPtr<FOrvidaLiveLinkSource> CreateSource(const FOrvidaLiveLinkConnectionSettings& Settings, FString& OutConnectionString)
{
	OutConnectionString = FOrvidaEndpointText::FormatSourceEndpoint(Settings.Endpoint, Settings.MulticastInterface);
	return MakeShared<FOrvidaLiveLinkSource>(Settings.Endpoint, Settings.bAutoLens, Settings.bAutoSceneTakeUpdate, Settings.bAutoRecord,
	                                         Settings.MulticastInterface, Settings.SubjectName);
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
