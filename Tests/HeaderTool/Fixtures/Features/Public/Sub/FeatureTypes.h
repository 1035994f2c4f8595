// Parsing edge cases the sample does not reach.
#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "FeatureTypes.generated.h"

#define FEATURE_HELPER(X) \
	UPROPERTY() int32 X; /* inside a directive: never read */

/* A plain block comment is not a tooltip */
UENUM(flags, Meta = (Bitflags, UseEnumValuesAsMaskValuesInEditor = "true"))
enum EFeatureBits : uint8
{
	Bit_A = 1 << 0 UMETA(Hidden),
	Bit_B = (1 << 1) UMETA(DisplayName = "Bit \"B\"", ToolTip = "back\\slash"),
};

USTRUCT()
struct FFeatureBase
{
	GENERATED_USTRUCT_BODY()

	UPROPERTY(VisibleAnywhere)
	TMap<FName, TArray<TArray<int32>>> Nested = {};
};

/**
 * Derived.
 *
 */
USTRUCT(BlueprintType, Atomic)
struct FFeatureDerived : public FFeatureBase
{
	GENERATED_BODY()

	UPROPERTY(editdefaultsonly, BLUEPRINTREADONLY)
	FString Label{TEXT("x;y}")};

	struct FInner
	{
		int32 NotReflected = 0;
	};

	int32 Helper(int32 In) const { return In * 2; }
};

struct FSomethingElse
{
	virtual ~FSomethingElse() = default;
	virtual void Run() {}
};

DECLARE_DYNAMIC_DELEGATE_RetVal_TwoParams(bool, FFeatureFilter, const FString&, Name, int32&, Count);

UCLASS(Abstract, Blueprintable, hidecategories = (Rendering, Physics), HideCategories = Input, ClassGroup = Features, meta = (ShortTooltip = "Short"))
class UFeatureObject : public UObject, public FSomethingElse
{
	GENERATED_BODY()

public:
	// A line comment is not a tooltip either
	UPROPERTY(EditInstanceOnly, Instanced, Category = "A|B")
	TObjectPtr<UObject> Child = nullptr;

	UPROPERTY(Transient, SaveGame, meta = (DisplayName = "Count (\"n\")", ClampMin = -1, ClampMax = 0.5f))
	int32 Count = (3 > 2) ? 1 : 0;

	UPROPERTY(BlueprintCallable)
	FFeatureFilter Filter;

	/** Native event. */
	UFUNCTION(BlueprintNativeEvent, BlueprintCallable, Category = "Feature")
	FString Describe(const TArray<int32>& Values, int32& OutCount, UObject* Context = nullptr) const;
	virtual FString Describe_Implementation(const TArray<int32>& Values, int32& OutCount, UObject* Context) const;

	UFUNCTION(BlueprintImplementableEvent)
	bool Decide(UPARAM(DisplayName = "The Input") float In, UPARAM(ref) FFeatureDerived& Data);

	UFUNCTION(Exec, CallInEditor)
	virtual void Run() override { if (Count > 0) { --Count; } }

	UFUNCTION(BlueprintCallable)
	virtual void Settle() final {}

	UFUNCTION(BlueprintPure = false, BlueprintCallable)
	EFeatureBits GetBits() const { return Bit_A; }

	UFUNCTION(BlueprintCallable)
	static const UObject* FindThing(const FName Name);

protected:
	UFUNCTION()
	void OnFilter(void);

	UFUNCTION(BlueprintImplementableEvent)
	void Shadowing(int32 Parms, const FString& Z, int32 InParms);

	UPROPERTY(GlobalConfig, Interp)
	float Speed = 1.0f;

private:
	UPROPERTY(VisibleInstanceOnly, BlueprintReadOnly, AdvancedDisplay, meta = (AllowPrivateAccess = "true"))
	TArray<TSubclassOf<UObject>> Classes;
};

UCLASS(MinimalAPI)
class AFeatureActor final : public UFeatureObject
{
public:
	GENERATED_BODY()

	// The body macro ends in "private:", so this member is private.
	UPROPERTY()
	int32 AfterBody = 0;

	template <typename T>
	T Convert(int32 In) const { return static_cast<T>(In); }

public:
	UFUNCTION(BlueprintCallable)
	int32 Twice(int32 In) const { return Convert<int32>(In) * 2; }
};
