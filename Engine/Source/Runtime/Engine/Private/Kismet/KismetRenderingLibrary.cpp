#include "Kismet/KismetRenderingLibrary.h"

#include "Engine/TextureRenderTarget2D.h"
#include "ImageUtils.h"
#include "Misc/Paths.h"

DEFINE_LOG_CATEGORY_STATIC(LogKismetRendering, Log, All)

void UKismetRenderingLibrary::ClearRenderTarget2D(UObject* WorldContextObject, UTextureRenderTarget2D* TextureRenderTarget, FLinearColor ClearColor)
{
	if (TextureRenderTarget)
	{
		TextureRenderTarget->Fill(ClearColor);
	}
}

FColor UKismetRenderingLibrary::ReadRenderTargetPixel(UObject* WorldContextObject, UTextureRenderTarget2D* TextureRenderTarget, int32 X, int32 Y)
{
	if (!TextureRenderTarget || !TextureRenderTarget->HasPixels() || X < 0 || Y < 0 || X >= TextureRenderTarget->SizeX || Y >= TextureRenderTarget->SizeY)
	{
		return FColor(0, 0, 0, 0);
	}
	return TextureRenderTarget->GetRow(Y)[X].ToFColor(false);
}

void UKismetRenderingLibrary::ExportRenderTarget(UObject* WorldContextObject, UTextureRenderTarget2D* TextureRenderTarget, const FString& FilePath, const FString& FileName)
{
	FImage Image;
	if (!FImageUtils::GetRenderTargetImage(TextureRenderTarget, Image))
	{
		UE_LOG(LogKismetRendering, Warning, TEXT("ExportRenderTarget: the render target is missing or has no pixels"));
		return;
	}
	FImageUtils::SaveImageByExtension(*FPaths::Combine(FilePath, FileName), Image);
}
