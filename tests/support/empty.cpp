// Keeps the support library non-empty until helpers are added.
