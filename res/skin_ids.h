// Ids of the skin images (type "PNG") and the skinned dialogs.
#pragma once
