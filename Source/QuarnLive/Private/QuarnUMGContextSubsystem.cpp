#include "QuarnUMGContextSubsystem.h"

#include "Blueprint/UserWidget.h"
#include "Camera/CameraComponent.h"
#include "Engine/Engine.h"
#include "Engine/TextureRenderTarget2D.h"
#include "Framework/Application/SlateApplication.h"
#include "Kismet/GameplayStatics.h"
#include "Kismet/KismetRenderingLibrary.h"
#include "Materials/Material.h"
#include "Materials/MaterialInstanceDynamic.h"
#include "QuarnCameraBase.h"
#include "QuarnFunctionLibrary.h"
#include "Slate/WidgetRenderer.h"

namespace
{
	const TCHAR* const RenderTargetPath = TEXT("/QuarnPranto/live/QuarnUMGToContextRenderTarget2D");
	const TCHAR* const MaterialPath = TEXT("/QuarnPranto/live/QuarnUMGToContextRenderTarget2D_Mat");
	const FName CameraTag(TEXT("QuarnCamera"));
	const FLinearColor ClearColor(0.f, 0.f, 0.f, 1.f);
	constexpr float BlendableWeight = 1.f;
} // namespace

UQuarnUMGContextSubsystem::UQuarnUMGContextSubsystem() = default;

UQuarnUMGContextSubsystem::~UQuarnUMGContextSubsystem() = default;

UQuarnUMGContextSubsystem* UQuarnUMGContextSubsystem::Get()
{
	if (!GEngine)
	{
		return nullptr;
	}
	return GEngine->GetEngineSubsystem<UQuarnUMGContextSubsystem>();
}

void UQuarnUMGContextSubsystem::Initialize(FSubsystemCollectionBase& Collection)
{
	SceneRenderTarget = Cast<UTextureRenderTarget2D>(StaticLoadObject(UTextureRenderTarget2D::StaticClass(), nullptr, RenderTargetPath));

	if (UMaterial* Material = Cast<UMaterial>(StaticLoadObject(UMaterial::StaticClass(), nullptr, MaterialPath)))
	{
		UMGMaterialInstance = UMaterialInstanceDynamic::Create(Material, nullptr);
	}

	WidgetRenderer = MakeUnique<FWidgetRenderer>(true, true);
}

void UQuarnUMGContextSubsystem::Deinitialize()
{
}

void UQuarnUMGContextSubsystem::AddWidget(UUserWidget* const widget, const FVector2D& Size, const FVector2D& Position, bool bEnableAnimations)
{
	UWorld* World = UQuarnFunctionLibrary::GetCurrentWorld();
	if (!World)
	{
		return;
	}
	if (!UMGMaterialInstance || !widget)
	{
		return;
	}

	if (widget->IsInViewport())
	{
		widget->RemoveFromParent();
	}
	if (bEnableAnimations)
	{
		widget->AddToViewport(0);
	}

	FQuarnUMGWidgetData& Entry = Widgets.AddDefaulted_GetRef();
	Entry.Size = Size;
	Entry.Position = Position;
	Entry.Widget = widget;

	TArray<AActor*> TaggedActors;
	UGameplayStatics::GetAllActorsWithTag(World, CameraTag, TaggedActors);
	for (AActor* Actor : TaggedActors)
	{
		if (!Cast<AQuarnCameraBase>(Actor))
		{
			continue;
		}
		CameraComponent = Cast<UCameraComponent>(Actor->GetComponentByClass(UCameraComponent::StaticClass()));
		if (CameraComponent)
		{
			CameraComponent->PostProcessSettings.AddBlendable(UMGMaterialInstance, BlendableWeight);
		}
	}
}

void UQuarnUMGContextSubsystem::DrawWidgets(FVector2D ScreenSize, float DeltaTime)
{
	UWorld* World = UQuarnFunctionLibrary::GetCurrentWorld();
	if (!World)
	{
		return;
	}
	if (SceneRenderTarget)
	{
		UKismetRenderingLibrary::ClearRenderTarget2D(World, SceneRenderTarget, ClearColor);
	}

	for (const FQuarnUMGWidgetData& Entry : Widgets)
	{
		UUserWidget* Widget = Entry.Widget.Get();
		if (!FSlateApplication::IsInitialized() || !Widget)
		{
			continue;
		}
		SlateWidget = Widget->TakeWidget();
		// Without the render target asset there is nothing to draw into; the renderer is not asked to.
		if (SlateWidget && WidgetRenderer && SceneRenderTarget)
		{
			WidgetRenderer->DrawWidget(SceneRenderTarget, SlateWidget.ToSharedRef(), Entry.Size, DeltaTime, false);
		}
	}
}

void UQuarnUMGContextSubsystem::RemoveAllWidgets()
{
	UWorld* World = UQuarnFunctionLibrary::GetCurrentWorld();
	if (World && SceneRenderTarget)
	{
		UKismetRenderingLibrary::ClearRenderTarget2D(World, SceneRenderTarget, ClearColor);
	}

	for (const FQuarnUMGWidgetData& Entry : Widgets)
	{
		UUserWidget* Widget = Entry.Widget.Get();
		if (Widget && Widget->IsInViewport())
		{
			Widget->RemoveFromParent();
		}
	}
	Widgets.Empty();
	SlateWidget.Reset();
}
