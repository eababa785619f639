#pragma once

#include "CoreTypes.h"
#include "Delegates/Delegate.h"
#include "Input/Reply.h"
#include "Internationalization/Text.h"
#include "Styling/SlateTypes.h"
#include "Types/SlateEnums.h"

/** A button was clicked; the reply says whether the click was consumed. */
DECLARE_DELEGATE_RetVal(FReply, FOnClicked)
/** An editable text's content changed while being edited. */
DECLARE_DELEGATE_OneParam(FOnTextChanged, const FText&)
/** An editable text's content was committed, with why. */
DECLARE_DELEGATE_TwoParams(FOnTextCommitted, const FText&, ETextCommit::Type)
/** A check box's state was changed by the user. */
DECLARE_DELEGATE_OneParam(FOnCheckStateChanged, ECheckBoxState)
