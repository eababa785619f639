#pragma once

#include "CoreMinimal.h"
#include "LiveLinkSourceFactory.h"
#include "OrvidaLiveLinkConnectionSettings.h"

#include "OrvidaLiveLinkSourceFactory.generated.h"

/**
 * Offers the camera link source in the Live Link panel's add-source menu, builds its creation panel and makes
 * sources from the panel's values or from a stored connection string. It holds no state. The editor makes a
 * transient instance of the class to build its menu and the panel, and collects it later: the panel holds it
 * weakly, and an "Ok" after the factory has gone makes nothing.
 *
 * Threads: game thread only.
 */
UCLASS()
class UOrvidaLiveLinkSourceFactory : public ULiveLinkSourceFactory
{
	GENERATED_BODY()

public:
	virtual FText GetSourceDisplayName() const override;
	virtual FText GetSourceTooltip() const override;
	/** SubPanel: choosing the source kind opens the creation panel. */
	virtual EMenuType GetMenuType() const override;
	/** A new creation panel whose "Ok" makes a source and hands it, with its connection string, to OnLiveLinkSourceCreated. */
	virtual TSharedPtr<SWidget> BuildCreationPanel(FOnLiveLinkSourceCreated OnLiveLinkSourceCreated) const override;
	/**
	 * A source for a.b.c.d:port with lens update off, scene/take update on and recording off; null for any other text.
	 * When the client makes it from a preset, InitializeSettings then gives it back the name and options it was saved with.
	 */
	virtual TSharedPtr<ILiveLinkSource> CreateSource(const FString& ConnectionString) const override;

	/** Makes the source the panel asked for and hands it to the editor; an unbound callback lets the source go at once. */
	void HandleConnectionSettingsAccepted(FOrvidaLiveLinkConnectionSettings ConnectionSettings, FOnLiveLinkSourceCreated OnLiveLinkSourceCreated) const;
};
