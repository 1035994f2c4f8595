#pragma once

#include "CoreMinimal.h"
#include "QuarnEngineSubsystemBase.h"
#include "UObject/WeakObjectPtrTemplates.h"
#include "QuarnUMGContextSubsystem.generated.h"

class FWidgetRenderer;
class SWidget;
class UCameraComponent;
class UMaterialInstanceDynamic;
class UTextureRenderTarget2D;
class UUserWidget;

/** One widget registered with the UMG context */
USTRUCT(BlueprintType)
struct QUARNLIVE_API FQuarnUMGWidgetData
{
	GENERATED_BODY()

	/** The size in pixels at which the widget is drawn */
	FVector2D Size = FVector2D::ZeroVector;

	/** The position given at registration; not used for drawing */
	FVector2D Position = FVector2D::ZeroVector;

	/**
	 * The widget; not owned. Held weakly, so that a widget destroyed while registered is
	 * skipped instead of drawn from freed memory.
	 */
	TWeakObjectPtr<UUserWidget> Widget;
};

/** Draws registered UMG widgets into a render target that a post-process material composites onto the tagged camera */
UCLASS(BlueprintType)
class QUARNLIVE_API UQuarnUMGContextSubsystem : public UQuarnEngineSubsystemBase
{
	GENERATED_BODY()

public:
	UQuarnUMGContextSubsystem();
	~UQuarnUMGContextSubsystem() override;

	/** The engine's instance, or null when there is no engine. */
	static UQuarnUMGContextSubsystem* Get();

	virtual void Initialize(FSubsystemCollectionBase& Collection) override;
	virtual void Deinitialize() override;

	/**
	 * Add Widget To Context
	 * @param bEnableAnimations To enable animations the widget will duplicate on the editor viewport.
	 */
	UFUNCTION(BlueprintCallable, Category = "Quarn|Live")
	void AddWidget(UPARAM(meta = (EditInline)) UUserWidget* const widget, const FVector2D& Size, const FVector2D& Position, bool bEnableAnimations = true);

	/** Draws all UMG Widgets To Context */
	UFUNCTION(BlueprintCallable, Category = "Quarn|Live")
	void DrawWidgets(FVector2D ScreenSize, float DeltaTime);

	/** Remove all Widgets from Context */
	UFUNCTION(BlueprintCallable, Category = "Quarn|Live")
	void RemoveAllWidgets();

	/** Read-only views for the host and tests. */
	const TArray<FQuarnUMGWidgetData>& GetWidgets() const { return Widgets; }
	UCameraComponent* GetCameraComponent() const { return CameraComponent; }
	UTextureRenderTarget2D* GetSceneRenderTarget() const { return SceneRenderTarget; }
	UMaterialInstanceDynamic* GetMaterialInstance() const { return UMGMaterialInstance; }

private:
	UPROPERTY()
	UCameraComponent* CameraComponent = nullptr;

	UPROPERTY()
	UTextureRenderTarget2D* SceneRenderTarget = nullptr;

	UPROPERTY()
	UMaterialInstanceDynamic* UMGMaterialInstance = nullptr;

	UPROPERTY()
	TArray<FQuarnUMGWidgetData> Widgets;

	TSharedPtr<SWidget> SlateWidget;

	TUniquePtr<FWidgetRenderer> WidgetRenderer;
};
