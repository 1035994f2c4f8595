#include "Status/QuarnTrackingRules.h"

namespace QuarnTrackingRules
{
	using namespace QuarnStatusFinding;

	bool IsErrorStatus(EQuarnTrackingStatus Status)
	{
		switch (Status)
		{
		case EQuarnTrackingStatus::NotTracking:
		case EQuarnTrackingStatus::Lost:
		case EQuarnTrackingStatus::NoMarkers:
		case EQuarnTrackingStatus::CameraError:
		case EQuarnTrackingStatus::CalibrationError:
		case EQuarnTrackingStatus::Overheating:
		case EQuarnTrackingStatus::SyncError:
		case EQuarnTrackingStatus::NetworkError:
		case EQuarnTrackingStatus::HardwareFault:
		case EQuarnTrackingStatus::LicenceError:
			return true;
		default:
			return false;
		}
	}

	bool IsWarningStatus(EQuarnTrackingStatus Status)
	{
		switch (Status)
		{
		case EQuarnTrackingStatus::OpticalFair:
		case EQuarnTrackingStatus::OpticalPoor:
		case EQuarnTrackingStatus::InertialOnly:
			return true;
		default:
			return false;
		}
	}

	FQuarnStatusFinding SubjectHasTrackingData(const FString& TrackingStatusText, const FString& NoDataText, const FString& SubjectName)
	{
		if (TrackingStatusText.Equals(NoDataText, ESearchCase::IgnoreCase))
		{
			return Red(FString::Printf(TEXT("No tracking data: Use the Zentrels panel to Auto-Configure the Zentrel for subject %s"), *SubjectName));
		}
		return Passed();
	}

	FQuarnStatusFinding SubjectHasNoReportedError(bool bReportedError, const FString& SubjectName, const FString& TrackingStatusText)
	{
		if (bReportedError)
		{
			return Red(FString::Printf(
				TEXT("Subject named %s has tracking status %s: Use the Zentrels panel to VNC into the Zentrel and look for errors or warnings on the display"),
				*SubjectName, *TrackingStatusText));
		}
		return Passed();
	}

	FQuarnStatus TrackedActorBelowOpticalGood(const FString& CameraName, const FString& TrackingStatusText)
	{
		return MakeStatus(FLinearColor::Yellow,
			FString::Printf(TEXT("At least one tracked actor has < Optical Good: %s has status %s"), *CameraName, *TrackingStatusText));
	}

	FQuarnStatus TrackingVerdict(const FQuarnTrackingFindings& Findings)
	{
		if (Findings.bZentrelsMissing)
		{
			return MakeStatus(FLinearColor::Red, TEXT("No Zentrels found: Use the Zentrels panel to Auto-Configure the Zentrel"));
		}
		if (Findings.NumQuarnSources == 0)
		{
			return MakeStatus(FLinearColor::Red, TEXT("No LiveLink Source: Add a Quarn source in the LiveLink window"));
		}
		if (Findings.NumQuarnSubjects == 0)
		{
			return MakeStatus(FLinearColor::Red,
				TEXT("No LiveLink Subject: To add a Quarn subject select the Quarn source in the LiveLink window, add a subject name and select Add New Subject"));
		}
		if (Findings.bNoTrackingData || Findings.bSubjectError)
		{
			return Findings.SubjectPassStatus;
		}
		if (Findings.bNothingReceiving)
		{
			return MakeStatus(FLinearColor::Yellow,
				TEXT("LiveLink has data, but nothing in scene receiving: Add a QuarnStage to your scene and in the QuarnCamera's LiveLink component select the appropriate LiveLink subject."));
		}
		if (!Findings.bSubjectWarning)
		{
			return MakeStatus(FLinearColor::Green, FString());
		}
		return Findings.SubjectPassStatus;
	}
} // namespace QuarnTrackingRules
