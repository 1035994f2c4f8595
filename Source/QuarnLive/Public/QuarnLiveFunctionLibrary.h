#pragma once

#include "CoreMinimal.h"
#include "Kismet/BlueprintFunctionLibrary.h"
#include "QuarnStatus.h"
#include "QuarnLiveFunctionLibrary.generated.h"

/** The four live statuses of the studio chain in one value. */
USTRUCT(BlueprintType)
struct QUARNLIVE_API FQuarnLiveStatus
{
	GENERATED_BODY()

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Quarn|VP")
	FQuarnStatus TrackingStatus;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Quarn|VP")
	FQuarnStatus LensStatus;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Quarn|VP")
	FQuarnStatus VideoStatus;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Quarn|VP")
	FQuarnStatus SyncStatus;

	bool operator==(const FQuarnLiveStatus& Other) const = default;
};

/** Blueprint access to the plug-in's version, compositing mode and live status. */
UCLASS()
class QUARNLIVE_API UQuarnLiveFunctionLibrary : public UBlueprintFunctionLibrary
{
	GENERATED_BODY()

public:
	/** Quarn Pranto version */
	UFUNCTION(BlueprintCallable, Category = "Quarn|VP")
	static void GetVersion(FString& Version);

	/** Quarn Pranto compositing mode */
	UFUNCTION(BlueprintCallable, Category = "Quarn|VP|Live")
	static void GetMode(FString& Mode);

	/** Quarn Pranto live status (Tracking, Lens, Video and Sync) */
	UFUNCTION(BlueprintCallable, Category = "Quarn|VP|Live")
	static void GetStatus(FQuarnLiveStatus& Status);
};
