#pragma once

#include "CoreMinimal.h"
#include "UObject/Class.h"
#include "LiveLinkTypes.generated.h"

/** The name of a Live Link subject, as its source publishes it. */
USTRUCT(BlueprintType)
struct LIVELINKINTERFACE_API FLiveLinkSubjectName
{
	GENERATED_BODY()

	FLiveLinkSubjectName() = default;
	FLiveLinkSubjectName(FName InName)
		: Name(InName)
	{
	}

	/** The subject's name. */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "LiveLink")
	FName Name;

	bool IsNone() const { return Name.IsNone(); }
	FString ToString() const { return Name.ToString(); }
	operator FName() const { return Name; }
	bool operator==(const FLiveLinkSubjectName& Other) const { return Name == Other.Name; }
	bool operator==(const FName& Other) const { return Name == Other; }
};

inline uint32 GetTypeHash(const FLiveLinkSubjectName& SubjectName) { return GetTypeHash(SubjectName.Name); }

/** A subject of one source: names are unique within a source only. */
USTRUCT(BlueprintType)
struct LIVELINKINTERFACE_API FLiveLinkSubjectKey
{
	GENERATED_BODY()

	FLiveLinkSubjectKey() = default;
	FLiveLinkSubjectKey(FGuid InSource, FName InSubjectName)
		: Source(InSource)
		, SubjectName(InSubjectName)
	{
	}

	/** The source that publishes the subject. */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "LiveLink")
	FGuid Source;

	/** The subject's name within its source. */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "LiveLink")
	FLiveLinkSubjectName SubjectName;

	bool operator==(const FLiveLinkSubjectKey& Other) const { return Source == Other.Source && SubjectName == Other.SubjectName; }
};

inline uint32 GetTypeHash(const FLiveLinkSubjectKey& Key) { return GetTypeHash(Key.Source) ^ (GetTypeHash(Key.SubjectName) * 31u); }

/** The base of a subject's frame data. */
USTRUCT(BlueprintType)
struct LIVELINKINTERFACE_API FLiveLinkBaseFrameData
{
	GENERATED_BODY()

	/** When the frame was taken, in the engine's seconds. */
	UPROPERTY(VisibleAnywhere, Category = "LiveLink")
	double WorldTime = 0.0;
};

/** A frame of a transform subject. */
USTRUCT(BlueprintType)
struct LIVELINKINTERFACE_API FLiveLinkTransformFrameData : public FLiveLinkBaseFrameData
{
	GENERATED_BODY()

	/** The subject's transform in this frame. */
	UPROPERTY(VisibleAnywhere, Category = "LiveLink")
	FTransform Transform;
};

/**
 * Owns a copy of a frame struct of any type derived from FLiveLinkBaseFrameData (or any
 * reflected struct); Cast checks the type before handing it out.
 */
struct LIVELINKINTERFACE_API FLiveLinkFrameDataStruct
{
	FLiveLinkFrameDataStruct() = default;
	/** Holds a default-constructed InScriptStruct. */
	explicit FLiveLinkFrameDataStruct(UScriptStruct* InScriptStruct);
	FLiveLinkFrameDataStruct(const FLiveLinkFrameDataStruct& Other);
	FLiveLinkFrameDataStruct(FLiveLinkFrameDataStruct&& Other) noexcept;
	FLiveLinkFrameDataStruct& operator=(const FLiveLinkFrameDataStruct& Other);
	FLiveLinkFrameDataStruct& operator=(FLiveLinkFrameDataStruct&& Other) noexcept;
	~FLiveLinkFrameDataStruct();

	/** Holds a copy of Data, an instance of InScriptStruct; a default instance when Data is null, nothing when InScriptStruct is null. */
	void InitializeWith(UScriptStruct* InScriptStruct, const void* Data);
	template <typename T>
	void InitializeWith(const T* Data)
	{
		InitializeWith(T::StaticStruct(), Data);
	}
	void Reset();

	bool IsValid() const { return ScriptStruct && StructMemory; }
	UScriptStruct* GetStruct() const { return ScriptStruct; }
	/** The data as T; null when empty or when the held struct is not T or derived from it. */
	template <typename T>
	const T* Cast() const
	{
		return IsValid() && ScriptStruct->IsChildOf(T::StaticStruct()) ? static_cast<const T*>(StructMemory) : nullptr;
	}
	template <typename T>
	T* Cast()
	{
		return IsValid() && ScriptStruct->IsChildOf(T::StaticStruct()) ? static_cast<T*>(StructMemory) : nullptr;
	}

private:
	UScriptStruct* ScriptStruct = nullptr;
	void* StructMemory = nullptr;
};

/** What evaluating a subject gives: one frame. */
struct FLiveLinkSubjectFrameData
{
	FLiveLinkFrameDataStruct FrameData;
};
