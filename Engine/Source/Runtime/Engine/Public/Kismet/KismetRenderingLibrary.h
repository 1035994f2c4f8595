#pragma once

#include "CoreMinimal.h"
#include "Kismet/BlueprintFunctionLibrary.h"
#include "KismetRenderingLibrary.generated.h"

class UTextureRenderTarget2D;

/** Blueprint functions that draw into and read from render targets. */
UCLASS()
class ENGINE_API UKismetRenderingLibrary : public UBlueprintFunctionLibrary
{
	GENERATED_BODY()

public:
	/** Clears the specified render target with the given ClearColor. */
	UFUNCTION(BlueprintCallable, Category = "Rendering")
	static void ClearRenderTarget2D(UObject* WorldContextObject, UTextureRenderTarget2D* TextureRenderTarget, FLinearColor ClearColor);

	/** Reads one pixel of the render target as an 8-bit colour (channels rounded from what is stored). */
	UFUNCTION(BlueprintCallable, Category = "Rendering")
	static FColor ReadRenderTargetPixel(UObject* WorldContextObject, UTextureRenderTarget2D* TextureRenderTarget, int32 X, int32 Y);

	/** Writes the render target to FilePath/FileName as a PNG file; logs and writes nothing on failure. */
	UFUNCTION(BlueprintCallable, Category = "Rendering")
	static void ExportRenderTarget(UObject* WorldContextObject, UTextureRenderTarget2D* TextureRenderTarget, const FString& FilePath, const FString& FileName);
};
