#pragma once
// Review pictures of the composed windows, written beside the generated skin.

#include "Artwork.h"

#include <QString>

#include <vector>

void WritePreviews(const QString& strFolder, const std::vector<GeneratedResource>& vecResources);
