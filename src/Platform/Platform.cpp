// Linux implementations of the platform interfaces the services use.
