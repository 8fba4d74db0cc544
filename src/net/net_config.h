#pragma once

#include <QString>

// Process configuration of the web access.

// CA bundle (PEM file) used to verify TLS servers; empty = the system's store.
// The tests trust their own test CA through it.
void SetTlsCaFile(const QString &path);
QString TlsCaFile();
