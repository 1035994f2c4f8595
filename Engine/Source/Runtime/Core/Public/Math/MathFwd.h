#pragma once

struct FVector;
struct FRotator;
struct FQuat;
struct FTransform;
struct FLinearColor;
struct FColor;
