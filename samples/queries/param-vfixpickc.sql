-- description: Customers with the columns ticked, written as they stand (VFIXPICKC)
-- connection: Provider=SQLite;Data Source=sample.db
SELECT id, ?VFIXPICKC_Columns||{name,city,country,email}?
FROM customers
ORDER BY id
