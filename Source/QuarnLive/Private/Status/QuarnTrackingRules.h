#pragma once

// The tracking leg's rules. Unlike the other legs it first passes over every subject, collecting
// findings, and then applies a verdict table in order of precedence.

#include "QuarnTrackingTypes.h"
#include "Status/QuarnStatusFinding.h"

namespace QuarnTrackingRules
{
	/** Frame states that are errors of the tracking device. */
	QUARNLIVE_API bool IsErrorStatus(EQuarnTrackingStatus Status);
	/** Frame states below optical good that still track. */
	QUARNLIVE_API bool IsWarningStatus(EQuarnTrackingStatus Status);

	/** @param NoDataText the tracking module's text for a subject without tracking data */
	QUARNLIVE_API FQuarnStatusFinding SubjectHasTrackingData(const FString& TrackingStatusText, const FString& NoDataText, const FString& SubjectName);
	/** @param bReportedError the subject's frame is in an error state and the settings ask for subject errors */
	QUARNLIVE_API FQuarnStatusFinding SubjectHasNoReportedError(bool bReportedError, const FString& SubjectName, const FString& TrackingStatusText);
	/** The warning a receiving camera's subject gives when its frame state is a warning; it does not stop the pass. */
	QUARNLIVE_API FQuarnStatus TrackedActorBelowOpticalGood(const FString& CameraName, const FString& TrackingStatusText);

	/** What the pass over the subjects and the studio queries found. */
	struct FQuarnTrackingFindings
	{
		/** In the editor, with the count check switched on, the Zentrel subsystem knows no Zentrel. */
		bool bZentrelsMissing = false;
		int32 NumQuarnSources = 0;
		int32 NumQuarnSubjects = 0;
		/** What the pass left in the status: the finding that stopped it, or the last warning. */
		FQuarnStatus SubjectPassStatus;
		bool bNoTrackingData = false;
		/** The last subject judged was in an error state (reported or not). */
		bool bSubjectError = false;
		bool bNothingReceiving = true;
		bool bSubjectWarning = false;
	};

	/** The verdict table, in order of precedence. */
	QUARNLIVE_API FQuarnStatus TrackingVerdict(const FQuarnTrackingFindings& Findings);
} // namespace QuarnTrackingRules
