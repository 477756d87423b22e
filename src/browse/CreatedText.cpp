#include "CreatedText.h"

#include "DisplayText.h"

QString CreatedText(const QDateTime &birthTime)
{
    return birthTime.isValid() ? GeneralDate(birthTime) : kCreationNotRecorded;
}
