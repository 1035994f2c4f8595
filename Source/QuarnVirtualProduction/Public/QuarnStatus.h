#pragma once

#include "CoreMinimal.h"
#include "QuarnStatus.generated.h"

/** The state of one part of the studio chain, as shown to the operator. */
USTRUCT(BlueprintType)
struct QUARNVIRTUALPRODUCTION_API FQuarnStatus
{
	GENERATED_BODY()

	/** Level of the status: green OK, yellow warning, red error */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Quarn|VP")
	FLinearColor Color = FLinearColor::Red;

	/** What is wrong and what to do; empty when OK */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Quarn|VP")
	FString Message;

	// Case-sensitive: a message whose wording changed is a new message for the operator.
	bool operator==(const FQuarnStatus& Other) const { return Color == Other.Color && Message.Equals(Other.Message, ESearchCase::CaseSensitive); }
	bool operator!=(const FQuarnStatus& Other) const { return !(*this == Other); }
};
