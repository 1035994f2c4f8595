#pragma once
#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "SampleThing.generated.h"

UENUM(BlueprintType)
enum class ESampleMode : uint8
{
	First UMETA(DisplayName = "First Mode"),
	/** The second one */
	Second = 4,
};

USTRUCT(BlueprintType)
struct FSamplePoint
{
	GENERATED_BODY()

	/** Horizontal position */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Sample")
	float X = 0.f;
};

DECLARE_DYNAMIC_MULTICAST_DELEGATE_OneParam(FOnSampleChanged, int32, NewValue);

/** A sample class */
UCLASS(config = Game, defaultconfig)
class SAMPLE_API USampleObject : public UObject
{
	GENERATED_BODY()
public:
	/** Names to use,
	 * one per line */
	UPROPERTY(Config, EditAnywhere, Category = "Sample", meta = (EditCondition = "bEnabled", ConfigRestartRequired = true, AdvancedDisplay))
	TArray<FString> Names;

	UFUNCTION(BlueprintCallable, Category = "Sample")
	static void GetThing(FString& Out);

	UFUNCTION(BlueprintPure, Category = "Sample", meta = (Keywords = "Add Sum"))
	int32 Sum(int32 A, const FSamplePoint& P) const;

	UFUNCTION(BlueprintImplementableEvent, Category = "Sample", meta = (DisplayName = "On Play"))
	void ReceivePlay(int32 Index);

	UPROPERTY(BlueprintAssignable, Category = "Sample")
	FOnSampleChanged OnChanged;
private:
	UPROPERTY()
	bool bHidden = false;
};
