#pragma once

// The automatic handler's six settings that travel in a Sealbook auto file,
// read or written as one list in this order: primary source, alternate
// source, primary destination, alternate destination, marker, package.

#include "engine/H950HdlrControl.h"

#include <QStringList>

inline QStringList HandlerSettings(H950HdlrControl& handler)
{
    return {handler.PrimarySource(),        handler.AlternateSource(), handler.PrimaryDestination(),
            handler.AlternateDestination(), handler.Marker(),          handler.Package()};
}

inline void SetHandlerSettings(H950HdlrControl& handler, const QStringList& values)
{
    handler.PrimarySource(values[0]);
    handler.AlternateSource(values[1]);
    handler.PrimaryDestination(values[2]);
    handler.AlternateDestination(values[3]);
    handler.Marker(values[4]);
    handler.Package(values[5]);
}
