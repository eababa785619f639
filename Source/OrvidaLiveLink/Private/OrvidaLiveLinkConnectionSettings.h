#pragma once

#include "CoreMinimal.h"
#include "Interfaces/IPv4/IPv4Endpoint.h"

/**
 * What the creation panel hands the factory when "Ok" is pressed: a parsed endpoint, the three options and the
 * subject's name. Only the endpoint and the interface go into the connection string; the name and the options
 * reach a preset through the source's settings.
 */
struct FOrvidaLiveLinkConnectionSettings
{
	FIPv4Endpoint Endpoint;
	bool bAutoLens = false;
	bool bAutoSceneTakeUpdate = false;
	bool bAutoRecord = false;
	/** For an endpoint on a multicast group, the address of the interface that joins it; 0.0.0.0: the system's choice. */
	FIPv4Address MulticastInterface = FIPv4Address::Any;
	/** The Live Link subject the source publishes; empty: UOrvidaLiveLinkSourceSettings::DefaultSubjectName. */
	FString SubjectName;
};
