#include "platform/core/Exceptions.h"

Exception::Exception(QString message) : FMessage(std::move(message)), FUtf8(FMessage.toStdString()) {}

void Exception::SetMessage(const QString &message)
{
    FMessage = message;
    FUtf8 = message.toStdString();
}
