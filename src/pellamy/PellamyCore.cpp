// Placeholder unit until the registration tool's window-free logic lands.
