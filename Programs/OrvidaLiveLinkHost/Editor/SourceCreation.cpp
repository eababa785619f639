#include "Editor/SourceCreation.h"

#include "ILiveLinkSource.h"
#include "LiveLinkSourceFactory.h"
#include "LiveLinkSourceSettings.h"
#include "StandIn/LiveLinkClient.h"

#include <cstdio>

namespace
{
FHostCreatedSource CreateThroughPanel(const ULiveLinkSourceFactory& Factory, const FHostPanelChoices& Choices)
{
	FHostCreatedSource Created;
	Created.FactoryClass = Factory.GetClass();
	const TSharedPtr<SWidget> Panel = Factory.BuildCreationPanel(ULiveLinkSourceFactory::FOnLiveLinkSourceCreated::CreateLambda(
	    [&Created](TSharedPtr<ILiveLinkSource> Source, FString ConnectionString)
	    {
		    Created.Source = Source;
		    Created.ConnectionString = ConnectionString;
	    }));
	FHostCreationPanel Input;
	if (!Panel.IsValid() || !Input.Find(Panel.ToSharedRef()) || !Input.Confirm(Choices))
	{
		std::fprintf(stderr, "orvida-livelink: the factory's creation panel lacks the widgets the host needs\n");
		return {};
	}
	if (!Created.Source.IsValid())
	{
		std::fprintf(stderr, "orvida-livelink: the creation panel's \"Ok\" made no source for %s\n",
		             Choices.EndpointText ? TCHAR_TO_UTF8(**Choices.EndpointText) : "the endpoint of the project settings");
	}
	return Created;
}
} // namespace

FHostCreatedSource CreateHostSource(const ULiveLinkSourceFactory& Factory, const FHostSourceRequest& Request)
{
	if (Request.Path == FHostSourceRequest::EPath::CreationPanel)
	{
		return CreateThroughPanel(Factory, Request.Choices);
	}
	FHostCreatedSource Created{Factory.CreateSource(Request.ConnectionString), Request.ConnectionString, Factory.GetClass()};
	if (!Created.Source.IsValid())
	{
		std::fprintf(stderr, "orvida-livelink: the factory made no source from the connection string \"%s\"\n", TCHAR_TO_UTF8(*Request.ConnectionString));
	}
	return Created;
}

FGuid AddCreatedSource(FLiveLinkClient& Client, const FHostCreatedSource& Created)
{
	const FGuid Guid = Client.AddSource(Created.Source);
	if (ULiveLinkSourceSettings* Settings = Client.GetSourceSettings(Guid))
	{
		Settings->ConnectionString = Created.ConnectionString;
		Settings->Factory = Created.FactoryClass;
	}
	return Guid;
}
