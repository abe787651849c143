-- description: The first customers, up to a number picked from a list (NFIXPICKR)
-- connection: Provider=SQLite;Data Source=sample.db
SELECT id, name, city
FROM customers
WHERE id <= ?NFIXPICKR_"Customers up to number"||{10,50,100}?
ORDER BY id
