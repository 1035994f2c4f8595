#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "ReflectionSample.generated.h"

UENUM()
enum class EReflectionSampleMode : uint8
{
	Plain,
	Fancy UMETA(DisplayName = "Fancy Mode"),
	Skipped = 5,
};

/** A value with parts */
USTRUCT(BlueprintType)
struct FReflectionSampleValue
{
	GENERATED_BODY()

	UPROPERTY(EditAnywhere, Category = "Sample")
	int32 Count = 0;

	UPROPERTY(EditAnywhere, Category = "Sample")
	FString Label;
};

/** Sample settings
 * used by the reflection tests */
UCLASS(config = Game, defaultconfig)
class REFLECTIONSAMPLE_API UReflectionSampleSettings : public UObject
{
	GENERATED_BODY()

public:
	/** Turns it on */
	UPROPERTY(Config, EditAnywhere, Category = "Quarn|Live")
	bool bEnabled = false;

	/** Addresses, one per line */
	UPROPERTY(Config, EditAnywhere, Category = "Quarn|Live", meta = (EditCondition = "bEnabled", ConfigRestartRequired = "TRUE"))
	TArray<FString> Addresses;

	UPROPERTY(Config, EditAnywhere, AdvancedDisplay, Category = "Quarn|Live")
	EReflectionSampleMode Mode = EReflectionSampleMode::Plain;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Quarn|Live")
	FReflectionSampleValue Value;

	/** Adds two numbers */
	UFUNCTION(BlueprintCallable, Category = "Quarn|Live")
	int32 Add(int32 A, int32 B) const { return A + B; }

	UFUNCTION(BlueprintCallable, Category = "Quarn|Live")
	static void Describe(FString& OutText) { OutText = TEXT("sample"); }

private:
	UPROPERTY()
	int32 Hidden = 3;
};

/** Receives pings; the object-lifetime tests bind it to delegates. */
UCLASS()
class REFLECTIONSAMPLE_API UReflectionSampleListener : public UObject
{
	GENERATED_BODY()

public:
	void OnPing(int32 Value) { Pings.Add(Value); }
	TArray<int32> Pings;
};
