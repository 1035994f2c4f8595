#pragma once

#include "HAL/Platform.h"

// Reflection annotations: the header tool reads them, the compiler sees nothing.
#define UCLASS(...)
#define USTRUCT(...)
#define UENUM(...)
#define UPROPERTY(...)
#define UFUNCTION(...)
#define UMETA(...)
#define UPARAM(...)

#define BODY_MACRO_COMBINE_INNER(A, B, C, D) A##B##C##D
#define BODY_MACRO_COMBINE(A, B, C, D) BODY_MACRO_COMBINE_INNER(A, B, C, D)
#define GENERATED_BODY(...) BODY_MACRO_COMBINE(CURRENT_FILE_ID, _, __LINE__, _GENERATED_BODY)

/** Property flags, as the header tool derives them from UPROPERTY specifiers. */
enum : uint64
{
	CPF_None = 0,
	CPF_Edit = 1ull << 0,
	CPF_ConstParm = 1ull << 1,
	CPF_BlueprintVisible = 1ull << 2,
	CPF_ExportObject = 1ull << 3,
	CPF_BlueprintReadOnly = 1ull << 4,
	CPF_Net = 1ull << 5,
	CPF_EditFixedSize = 1ull << 6,
	CPF_Parm = 1ull << 7,
	CPF_OutParm = 1ull << 8,
	CPF_ZeroConstructor = 1ull << 9,
	CPF_ReturnParm = 1ull << 10,
	CPF_DisableEditOnTemplate = 1ull << 11,
	CPF_Transient = 1ull << 13,
	CPF_Config = 1ull << 14,
	CPF_DisableEditOnInstance = 1ull << 16,
	CPF_EditConst = 1ull << 17,
	CPF_GlobalConfig = 1ull << 18,
	CPF_InstancedReference = 1ull << 19,
	CPF_SaveGame = 1ull << 24,
	CPF_Interp = 1ull << 25,
	CPF_BlueprintAssignable = 1ull << 28,
	CPF_Deprecated = 1ull << 29,
	CPF_BlueprintCallable = 1ull << 30,
	CPF_AdvancedDisplay = 1ull << 34,
	CPF_NativeAccessSpecifierPublic = 1ull << 50,
	CPF_NativeAccessSpecifierProtected = 1ull << 51,
	CPF_NativeAccessSpecifierPrivate = 1ull << 52,
	CPF_ReferenceParm = 1ull << 53,
	CPF_SimpleDisplay = 1ull << 54,
};

/** Class flags, from UCLASS specifiers. */
enum : uint32
{
	CLASS_None = 0,
	CLASS_Abstract = 1u << 0,
	CLASS_DefaultConfig = 1u << 1,
	CLASS_Config = 1u << 2,
	CLASS_Transient = 1u << 3,
	CLASS_Native = 1u << 7,
	CLASS_EditInlineNew = 1u << 12,
	CLASS_MinimalAPI = 1u << 19,
	CLASS_GlobalUserConfig = 1u << 24,
	CLASS_ProjectUserConfig = 1u << 30,
};

/** Function flags, from UFUNCTION specifiers. */
enum : uint32
{
	FUNC_None = 0,
	FUNC_Final = 1u << 0,
	FUNC_BlueprintAuthorityOnly = 1u << 2,
	FUNC_BlueprintCosmetic = 1u << 3,
	FUNC_Net = 1u << 6,
	FUNC_Exec = 1u << 9,
	FUNC_Native = 1u << 10,
	FUNC_Event = 1u << 11,
	FUNC_Static = 1u << 13,
	FUNC_Public = 1u << 17,
	FUNC_Private = 1u << 18,
	FUNC_Protected = 1u << 19,
	FUNC_Delegate = 1u << 20,
	FUNC_MulticastDelegate = 1u << 16,
	FUNC_HasOutParms = 1u << 22,
	FUNC_BlueprintCallable = 1u << 26,
	FUNC_BlueprintEvent = 1u << 27,
	FUNC_BlueprintPure = 1u << 28,
	FUNC_EditorOnly = 1u << 29,
	FUNC_Const = 1u << 30,
};

/** Struct flags, from USTRUCT specifiers. */
enum : uint32
{
	STRUCT_NoFlags = 0,
	STRUCT_Native = 1u << 0,
	STRUCT_Atomic = 1u << 4,
	STRUCT_Immutable = 1u << 5,
};
