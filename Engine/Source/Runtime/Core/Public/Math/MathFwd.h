#pragma once

struct FVector;
struct FVector2D;
struct FRotator;
struct FQuat;
struct FTransform;
struct FLinearColor;
struct FColor;
