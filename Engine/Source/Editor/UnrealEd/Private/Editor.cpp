#include "Editor.h"

FEditorDelegates::FOnPIEEvent FEditorDelegates::BeginPIE;
FEditorDelegates::FOnPIEEvent FEditorDelegates::EndPIE;
