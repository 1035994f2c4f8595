#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "QuarnEightBytes.generated.h"

/** Eight raw bytes of a custom multi-engine signal; byte1 travels least significant. */
USTRUCT(BlueprintType)
struct QUARNLIVE_API FEightBytes
{
	GENERATED_BODY()

	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Quarn|Live")
	uint8 byte1 = 0;

	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Quarn|Live")
	uint8 byte2 = 0;

	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Quarn|Live")
	uint8 byte3 = 0;

	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Quarn|Live")
	uint8 byte4 = 0;

	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Quarn|Live")
	uint8 byte5 = 0;

	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Quarn|Live")
	uint8 byte6 = 0;

	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Quarn|Live")
	uint8 byte7 = 0;

	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Quarn|Live")
	uint8 byte8 = 0;

	/** The 64-bit form: byte1 + byte2 * 2^8 + ... + byte8 * 2^56. */
	uint64 ToUInt64() const;
	static FEightBytes FromUInt64(uint64 Value);
	bool operator==(const FEightBytes& Other) const { return ToUInt64() == Other.ToUInt64(); }
};
