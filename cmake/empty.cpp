// An empty translation unit: keeps a target non-empty while its sources are being written.
